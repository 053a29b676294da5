// The two ordered containers that carry every series and every law parameter list.
// Positions are 1-based; a position of 1 or less reaches the first element, a
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

    // First and last values (NaN when empty).
    double first_value() const;
    double last_value() const;

    auto begin() { return points_.begin(); }
    auto end() { return points_.end(); }
    auto begin() const { return points_.begin(); }
    auto end() const { return points_.end(); }
    auto rbegin() const { return points_.rbegin(); }
    auto rend() const { return points_.rend(); }

    // Descriptive statistics over the y of the points, in list order.
    double max_value() const;
    double min_value() const;
    double sum() const;
    double mean() const;
    double variance() const;  // divisor n

    // Reorders by y ascending and renumbers x to 1..n.
    void sort_ascending();

    // Of a sorted sample of n points.
    double median(int n) const;
    double lower_quartile(int n) const;
    double upper_quartile(int n) const;

    bool has_non_positive() const;
    void count_leading_non_positive(bool& found, int& count) const;

    // In-place transforms of y; x is untouched.
    void apply_log();
    void apply_exp();
    void apply_abs_if_non_positive();
    void negate();
    void apply_affine(double a, double b);
    void apply_power(double r);

private:
    std::deque<Point> points_;
};

}  // namespace evstat
