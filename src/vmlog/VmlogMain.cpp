// vmlog: the log tool for administrators and scripts.
#include <cstdio>

int main(int argc, char** argv)
{
    std::fprintf(stderr, "usage: vmlog scan|dump ...\n");
    return 2;
}
