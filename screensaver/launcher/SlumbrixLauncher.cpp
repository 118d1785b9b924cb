#include <cstdio>

int main()
{
    std::fprintf(stderr, "slumbrix-launcher: the screen-saver module is not built yet\n");
    return 1;
}
