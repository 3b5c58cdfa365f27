// Stands in for the web browser in the tests: registered as the program that opens web
// addresses, it adds the address it was started with as a line to a file.
//     url_probe.exe OUTPUT ADDRESS
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    FILE* out = std::fopen(argv[1], "ab");
    if (out == nullptr) {
        return 1;
    }
    std::fprintf(out, "%s\n", argv[2]);
    return std::fclose(out) == 0 ? 0 : 1;
}
