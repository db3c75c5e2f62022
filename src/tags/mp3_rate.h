#pragma once

// Not a forward declaration: TagLib's frame header takes a TagLib::File, which a declared
// TagLib::MPEG::File would stand in for in its declaration.
#include <taglib/mpegfile.h>

#include "tags/audio_properties.h"

/**
 * Puts right the bit rate TagLib gives an MP3 stream from its first frame. A constant stream
 * (LAME's "Info" header) shows the nominal rate of its frames, not one worked out from a byte
 * count that holds the header frame too. A variable one (a Xing or VBRI header) shows its average:
 * the header's bytes over its frames' time, or the stream's own bytes, tags left out, where the
 * header counts the frames only; its duration is then the frames' too. A stream without such a
 * header keeps TagLib's figures, the constant rate of its first frame.
 */
void mendMp3Rate(TagLib::MPEG::File& file, AudioProperties& properties);
