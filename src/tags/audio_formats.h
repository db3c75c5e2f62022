#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Which files a walk lists: MP3 only (the program's own way) or every common audio format.
// Every test here works on the name alone, and cheaply: the walk asks it of every plain file.

enum class AudioFiles { Mp3, All };

/** "mp3" or "all", as the command line and the settings store name them. */
QString audioFilesKey(AudioFiles files);

std::optional<AudioFiles> audioFilesFromKey(QStringView key);

/** Whether the name ends in ".mp3", in any letter case, with something before it. */
bool hasMp3Extension(QByteArrayView name);

/**
 * Whether the name ends in one of the other audio extensions "Todo el audio" lists (.flac, .ogg,
 * .oga, .opus, .m4a, .mp4, .aac, .wma, .wav, .aiff, .aif, .ape, .wv, .mpc), in any letter case.
 */
bool hasOtherAudioExtension(QByteArrayView name);
bool hasOtherAudioExtension(QStringView name);

/** Whether a walk listing files lists the file of that name. */
inline bool isListedAudio(QByteArrayView name, AudioFiles files) {
  return hasMp3Extension(name) || (files == AudioFiles::All && hasOtherAudioExtension(name));
}

/**
 * The name without its extension, as "{TF}" shows it: exactly the last four characters of any
 * name that is not of another audio format (".mp3", and whatever a stored listing holds), and
 * the whole extension of the other formats (".flac" included).
 */
QString nameWithoutExtension(const QString& filename);
