#include <cstdio>

int main() {
    std::puts("korvex-cli");
    return 0;
}
