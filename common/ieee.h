// Arithmetic steps, in single or double precision, whose NaN results are
// the same on every machine and from every compiler. Processors differ in the NaN they make (x86-64
// makes it negative, arm64 and s390x positive) and in which of two NaN
// operands they keep, and compilers may swap the operands of a commutative
// step. So a step that gives a NaN yields the first NaN among its operands
// in the order written here, quieted and with its sign kept; with no NaN
// operand, the NaN x86-64 makes, which prints as -nan. The fix-up runs only
// when the result is a NaN.
#pragma once

#include <bit>
#include <cstdint>

// The bits of a float or a double: the quiet bit, and x86-64's default NaN.
template <typename F>
struct NanBits;
template <>
struct NanBits<float> {
	using Word = uint32_t;
	static constexpr Word quiet = 0x00400000;
	static constexpr Word made = 0xffc00000;
};
template <>
struct NanBits<double> {
	using Word = uint64_t;
	static constexpr Word quiet = 0x0008000000000000;
	static constexpr Word made = 0xfff8000000000000;
};

// The NaN that a step on a and b (in this order) yields.
template <typename F>
inline F nan_of(F a, F b)
{
	using Word = typename NanBits<F>::Word;
	if (a != a)
		return std::bit_cast<F>(Word(std::bit_cast<Word>(a) | NanBits<F>::quiet));
	if (b != b)
		return std::bit_cast<F>(Word(std::bit_cast<Word>(b) | NanBits<F>::quiet));
	return std::bit_cast<F>(NanBits<F>::made);
}

template <typename F>
inline F fp_add(F a, F b)
{
	F r = a + b;
	return r == r ? r : nan_of(a, b);
}

template <typename F>
inline F fp_sub(F a, F b)
{
	F r = a - b;
	return r == r ? r : nan_of(a, b);
}

template <typename F>
inline F fp_mul(F a, F b)
{
	F r = a * b;
	return r == r ? r : nan_of(a, b);
}

template <typename F>
inline F fp_div(F a, F b)
{
	F r = a / b;
	return r == r ? r : nan_of(a, b);
}
