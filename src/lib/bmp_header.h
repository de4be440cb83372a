// A picture file checked by its header before any loader reads it, so that
// what is refused is refused in words a player understands.
#ifndef GRUMO_LIB_BMP_HEADER_H
#define GRUMO_LIB_BMP_HEADER_H

// False, with the reason as SDL's error, for a file that is not a BMP
// picture a loader can read: missing, not a regular file (opening a named
// pipe could block for ever), not a BMP, cut short, or of a size, depth or
// compression no picture of this game has.
bool isReadableBmp(const char* path);

#endif
