// Writes a picture of dark cells on an unevenly lit background for the real-window checks and
// prints how many cells it holds.
//   talivo_synthetic_picture FILE.png
#include "tests/pictures/SyntheticPictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    const talivo::test::TSyntheticPicture picture =
        talivo::test::DarkCellsOnUnevenLight({900, 700}, 60, 12, 21);
    if (!picture.Image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu\n", picture.Centres.size());
    return 0;
}
