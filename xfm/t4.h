// Transform files: a 4 x 4 affine matrix in a "t4" block and an optional
// intensity scale. The matrix is 16 floats in column-major order: text row
// i, column j is t4[i + 4*j], and t4[12..14] is the translation. A scale of
// 0 means the file has none.
#pragma once

#include <cstdio>
#include <string>

#include "common/fault.h"
#include "common/lines.h"

// The identity transform.
inline constexpr float identity_t4[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// "t4\n" and the four rows, "%10.6f %9.6f %9.6f %9.4f\n" each: the bytes
// of "%10.6f%10.6f%10.6f%10.4f\n" while every number fits its field, and a
// blank in front of any but the first that fills it.
void t4list(FILE *fp, const float t4[16]);

// The listing of a transform on standard output: t4list, then the scale
// as "scale: %.6f\n".
void list_xfm(const float t4[16], float scale);

// Reads four rows of four numbers as fscanf(fp, " %f %f %f %f") would, from
// *rest, the unread rest of the line that in read last of fp, or from the
// next line of fp when *rest is null; the numbers may lie on any number of
// lines. Returns 0, or -1 at the first row that did not deliver four values
// (in.fault is then the line reader's fault, or none). *rest is left just
// after the bytes consumed, in in's line, or null when the stream ended
// first. The rows before a failed one are stored, and so is the start of
// that row.
int t4read(FILE *fp, LineReader &in, char **rest, float t4[16]);

// Scans a transform file just opened for reading: takes the matrix of the
// last "t4" block (or the first 16 numbers of a file without one) and the
// value of the last "scale:" line (0 without one). Whatever follows the 16th
// number of a block on its line is scanned as the next line. Fault::read
// when a block or the bare form did not hold 16 numbers or reading failed;
// Fault::memory when a line outgrew the memory budget.
Fault t4scan(FILE *fp, float t4[16], float &scale);

// What reading a transform file prints on standard output.
// nothing: for the programs whose standard output carries only results;
// listed: "Reading: %s\n" before (the path as Message::shown shows it),
// and list_xfm after, once the file is read.
enum class Echo { nothing, listed };

// Reads the transform file at path with t4scan, printing what echo says.
// Fault::read, with nothing printed, when it cannot be opened.
Fault load_xfm(const char *path, float t4[16], float &scale, Echo echo = Echo::nothing);

// Writes a transform file at path: the header lines, the comment line when
// one is given (it carries its own newline), the matrix, and the scale line
// unless the scale is 0. Prints "Writing: %s\n" once the file is open.
// Fault::write when it cannot be created or written.
Fault write_xfm(const char *path, const char *comment, const float t4[16], float scale);

// Splits the base name of path, "A_to_B_t4..." at its first "_to_" and the
// first "_t4" after that, into from = A and to = B. False when it has no
// such form.
bool parse_xfm_name(const char *path, std::string &from, std::string &to);

// "%s_to_%s_t4": the name of the transform from one space to another.
std::string xfm_name(const std::string &from, const std::string &to);

// The names a result takes when none is given, without a directory: the
// inverse of A_to_B_t4 is B_to_A_t4, and the product of A_to_B_t4 and
// B_to_C_t4 is A_to_C_t4. False when a name has no such form, or when the
// inner names of a product differ.
bool inverse_name(const char *path, std::string &name);
bool product_name(const char *left, const char *right, std::string &name);
