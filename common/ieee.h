// Arithmetic steps whose NaN results are the same on every machine
// and from every compiler. Processors differ in the NaN they make (x86-64
// makes it negative, arm64 and s390x positive) and in which of two NaN
// operands they keep, and compilers may swap the operands of a commutative
// step. So a step that gives a NaN yields the first NaN among its operands
// in the order written here, quieted and with its sign kept; with no NaN
// operand, the NaN x86-64 makes, which prints as -nan. The fix-up runs only
// when the result is a NaN.
#pragma once

#include <bit>
#include <cstdint>

// The NaN that a step on a and b (in this order) yields.
inline float nan_of(float a, float b)
{
	const uint32_t quiet = 0x00400000;
	if (a != a)
		return std::bit_cast<float>(std::bit_cast<uint32_t>(a) | quiet);
	if (b != b)
		return std::bit_cast<float>(std::bit_cast<uint32_t>(b) | quiet);
	return std::bit_cast<float>(uint32_t(0xffc00000));
}

inline float fp_add(float a, float b)
{
	float r = a + b;
	return r == r ? r : nan_of(a, b);
}

inline float fp_sub(float a, float b)
{
	float r = a - b;
	return r == r ? r : nan_of(a, b);
}

inline float fp_mul(float a, float b)
{
	float r = a * b;
	return r == r ? r : nan_of(a, b);
}

inline float fp_div(float a, float b)
{
	float r = a / b;
	return r == r ? r : nan_of(a, b);
}

// The same steps in double precision, for results computed in double.
inline double nan_of(double a, double b)
{
	const uint64_t quiet = 0x0008000000000000;
	if (a != a)
		return std::bit_cast<double>(std::bit_cast<uint64_t>(a) | quiet);
	if (b != b)
		return std::bit_cast<double>(std::bit_cast<uint64_t>(b) | quiet);
	return std::bit_cast<double>(uint64_t(0xfff8000000000000));
}

inline double fp_add(double a, double b)
{
	double r = a + b;
	return r == r ? r : nan_of(a, b);
}

inline double fp_sub(double a, double b)
{
	double r = a - b;
	return r == r ? r : nan_of(a, b);
}

inline double fp_mul(double a, double b)
{
	double r = a * b;
	return r == r ? r : nan_of(a, b);
}
