/* The baseline of bench/startup.sh: the least a C program can do. */
#include <stdio.h>
int main(void)
{
	puts("hello");
	return 0;
}
