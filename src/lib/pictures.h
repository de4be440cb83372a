// What every picture of the game shares: the screen it is drawn on, the
// colour that stays clear, and the largest side an image file may ask for.
#ifndef GRUMO_LIB_PICTURES_H
#define GRUMO_LIB_PICTURES_H

const int screenWidth = 320;
const int screenHeight = 240;
const int screenDepth = 32;

// Sheets and glyph images are clear where they are exactly magenta.
const int keyRed = 255;
const int keyGreen = 0;
const int keyBlue = 255;
const unsigned long keyRgb = keyRed << 16 | keyGreen << 8 | keyBlue;

// No sheet of this game is wider than 592 pixels. A larger side would only
// cost memory: six pictures at this limit keep the game far under 100 MB,
// and a header that asks for more is refused before anything is allocated.
const int maxImageSide = 1024;

#endif
