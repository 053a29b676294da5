// A data series: the values of a file, a drawn sample, a resample or a list of excesses,
// in one contiguous vector. The descriptive statistics read a span over one; the
// transforms change a series in place. Positions are 1-based as in ValueList: a position
// of 1 or less reaches the first value, one past the end (or any in an empty series)
// reads as NaN.
#pragma once

#include <span>
#include <vector>

namespace evstat {

using Series = std::vector<double>;

double value_at(std::span<const double> series, int position);
double first_value(std::span<const double> series);  // NaN when empty
double last_value(std::span<const double> series);   // NaN when empty
int size_of(std::span<const double> series);

// In series order: the first NaN is kept by max_value, skipped by min_value only when
// it comes first (the comparisons of the loops decide).
double max_value(std::span<const double> series);
double min_value(std::span<const double> series);
double sum(std::span<const double> series);
double mean(std::span<const double> series);
double variance(std::span<const double> series);  // divisor n

// Of a series sorted ascending, taken as its first n values.
double median(std::span<const double> series, int n);
double lower_quartile(std::span<const double> series, int n);
double upper_quartile(std::span<const double> series, int n);

bool has_non_positive(std::span<const double> series);
// The values not above 0 before the first positive one.
int leading_non_positive_count(std::span<const double> series);

// Ascending; a series holding a NaN is put in the order a shell sort's comparisons give.
void sort_ascending(Series& series);

void apply_log(Series& series);
void apply_exp(Series& series);
void apply_abs_if_non_positive(Series& series);  // every value, when one is not above 0
void negate(Series& series);
void apply_affine(Series& series, double a, double b);  // x a + b
void apply_power(Series& series, double r);
// The logarithms of a series, as a new one.
Series logarithms_of(std::span<const double> series);

}  // namespace evstat
