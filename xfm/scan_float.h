// The numbers of a transform file as scanf's "%f" reads them with the C
// library this suite is built on (glibc), in the C locale: the same float,
// the same bytes consumed, the same failures. The text is read in memory,
// from the line that holds it, so that nothing outside the memory budget
// grows with a long number.
#pragma once

// The white space that "%f" and a blank in a format skip: blank, \t, \n,
// \v, \f and \r.
bool scanf_space(char c);

// Scans one number at *text, which holds no leading white space; its NUL
// ends the input, as the end of the stream would. Moves *text past the bytes
// "%f" consumes: the number and, when the conversion fails inside "nan",
// "inf" or "infinity", the byte that broke the word. Returns true, value
// set, when "%f" stores a value, and false, value untouched, when it fails.
//
// The text is a C string that may be written: the number is ended with a
// NUL, for the moment of its conversion, where its text ends.
bool scan_float(char **text, float &value);
