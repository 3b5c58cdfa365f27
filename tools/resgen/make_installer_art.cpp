// Build-time generator of the installer's picture: writes side.bmp (164 x 314, 32 bits per
// pixel, opaque) into the folder named on the command line.
#include <cstdio>

#include "dib_encoding.h"
#include "file_output.h"
#include "installer_art.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_installer_art <output folder>\n");
        return 2;
    }
    const std::vector<uint8_t> bmp = BgraBmpFile(kInstallerSideWidth, kInstallerSideHeight,
                                                 PremultipliedBgra(DrawInstallerSide()));
    return WriteFileBytes(argv[1], "side.bmp", bmp) ? 0 : 1;
}
