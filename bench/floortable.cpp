// The floor for runetally-table: the least a C++ program does to print 41 lines of a report.
#include <cstdio>

int main() {
    std::fputs("[\n", stdout);
    for (int i = 0; i < 41; ++i) {
        std::printf(
            "  {\"spell\": \"Spell %d\", \"outcome\": \"ShowText\", \"text\": \"157.5\"}%s\n", i,
            i < 40 ? "," : "");
    }
    std::fputs("]\n", stdout);
    return 0;
}
