#include <cstdio>

int main()
{
    std::fprintf(stderr, "Vistelo: the editor is not built yet\n");
    return 1;
}
