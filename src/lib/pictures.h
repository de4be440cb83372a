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

// No picture of this game is larger than a screen; a header that asks for
// more would have a loader allocate gigabytes before it finds the data short.
const int maxImageSide = 4096;

#endif
