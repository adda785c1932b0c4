#include <iostream>

int main() {
    std::cerr << "vantrel-sim: not built yet\n";
    return 64;
}
