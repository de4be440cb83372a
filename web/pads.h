// Pads in the browser, read straight from the Gamepad API: the browser SDL's
// own joysticks count empty slots as pads, miss pads that show up late and
// stop reporting after a second SDL_Init. The page's own keys join them here.
#ifndef GRUMO_WEB_PADS_H
#define GRUMO_WEB_PADS_H

// Hands the game what the pads hold now, as keys; called once a frame.
void readPads();

#endif
