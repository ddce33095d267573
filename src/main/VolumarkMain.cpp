// The program's entry.
#include <cstdio>

int main(int argc, char** argv)
{
    std::fprintf(stderr, "Volumark: nothing to do yet.\n");
    return 1;
}
