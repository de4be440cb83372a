// The five sound-library calls the game makes, on top of SDL_mixer; the
// platform decodes the files (sound_files.h).
// Handles are opaque; a null handle is a failed load and is safe to play.
#ifndef GRUMO_LIB_FSOUND_H
#define GRUMO_LIB_FSOUND_H

extern "C" {

struct FSOUND_STREAM;
struct FSOUND_SAMPLE;

enum {
  FSOUND_FREE = -1,
  FSOUND_LOOP_NORMAL = 2,
  FSOUND_2D = 0x2000,
};

// Opens the audio device; returns 0 when it cannot be opened.
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Opens an MP3 file for streaming; null when it is missing, not a regular
// file, or holds no music the platform can play.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
// Loads a WAV sound effect; null when it is missing, not a regular file, or
// not a sound the platform can play (see loadEffect).
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset,
                                  int length);
// Starts the music, looping when it was opened with FSOUND_LOOP_NORMAL. Returns the channel or -1.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Plays a sample once on a free channel, without waiting. Returns the channel or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
}

#endif
