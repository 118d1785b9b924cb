#include <cstdio>

int main(int argc, char** argv)
{
    (void)argv;
    std::fprintf(stderr, "Rollavin: the player is not built yet (%d argument(s) ignored)\n", argc - 1);
    return 1;
}
