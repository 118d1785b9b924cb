#include <cstdio>

int main()
{
    std::fprintf(stderr, "wallpaper: the wallpaper program is not built yet\n");
    return 1;
}
