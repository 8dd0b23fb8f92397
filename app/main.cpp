// Placeholder entry until the application shell lands: prints a line and exits.
#include <cstdio>

int main() {
    std::puts("Tumbral: the application is not built yet.");
    return 0;
}
