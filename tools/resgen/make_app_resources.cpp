// Build-time generator of the program's pictures and sound: writes m.ico, m2.ico, s.ico,
// splash.bmp and splash2x.bmp (the picture twice as large; 32 bits per pixel, premultiplied alpha)
// and load.wav into the folder named on the command line.
#include <cstdio>

#include "chime.h"
#include "file_output.h"
#include "icon_art.h"
#include "splash_art.h"
#include "wave_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_resources <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool written =
        WriteFileBytes(folder, "m.ico", IcoFile(IconImages(IconKind::Normal))) &&
        WriteFileBytes(folder, "m2.ico", IcoFile(IconImages(IconKind::Stopping))) &&
        WriteFileBytes(folder, "s.ico", IcoFile(IconImages(IconKind::Settings))) &&
        WriteFileBytes(folder, "splash.bmp",
                       BgraBmpFile(kSplashWidth, kSplashHeight, PremultipliedBgra(DrawSplash()))) &&
        WriteFileBytes(
            folder, "splash2x.bmp",
            BgraBmpFile(2 * kSplashWidth, 2 * kSplashHeight, PremultipliedBgra(DrawSplash(2)))) &&
        WriteFileBytes(folder, "load.wav", WaveFile(kChimeSampleRate, SynthesiseChime()));
    return written ? 0 : 1;
}
