/* The Ogg Vorbis decoder from Debian's libstb-dev, compiled once into the library. */
#include "audiolib/StbVorbisNames.h"
#include <stb/stb_vorbis.h>
