// The two ordered containers of lists of numbers: a law's parameters, and points (x, y)
// (curves, grids of abscissas, quantile pairs, plots). A data series is a Series
// (series/series.h). Positions are 1-based; a position of 1 or less reaches the first element, a
// position past the end (or any position in an empty list) reads as NaN, so a
// missing parameter shows in the results instead of reading memory that is not there.
#pragma once

#include <deque>

namespace evstat {

class ValueList {
public:
    void push_back(double value) { values_.push_back(value); }
    void push_front(double value) { values_.push_front(value); }
    int size() const { return static_cast<int>(values_.size()); }
    bool empty() const { return values_.empty(); }
    double at(int position) const;
    void clear() { values_.clear(); }

    auto begin() const { return values_.begin(); }
    auto end() const { return values_.end(); }

private:
    std::deque<double> values_;
};

struct Point {
    double x;
    double y;
};

class Sample {
public:
    void push_back(double x, double y) { points_.push_back({x, y}); }
    void push_front(double x, double y) { points_.push_front({x, y}); }
    int size() const { return static_cast<int>(points_.size()); }
    bool empty() const { return points_.empty(); }
    double y_at(int position) const;
    double x_at(int position) const;
    void clear() { points_.clear(); }

    auto begin() { return points_.begin(); }
    auto end() { return points_.end(); }
    auto begin() const { return points_.begin(); }
    auto end() const { return points_.end(); }
    auto rbegin() const { return points_.rbegin(); }
    auto rend() const { return points_.rend(); }

    // y -> y a + b for every point; x is untouched.
    void apply_affine(double a, double b);

private:
    std::deque<Point> points_;
};

}  // namespace evstat
