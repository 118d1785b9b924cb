#include <cstdio>

int main()
{
    std::fprintf(stderr, "Autovane: the CD start program is not built yet\n");
    return 1;
}
