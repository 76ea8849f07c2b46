// vpScore: a piece of music written as text, read into timed notes for the
// generator's synthesizer. The form, one statement a line (a '#' that
// begins a word starts a comment):
//   tempo <beats per minute>        meter <beats per bar>
//   mode loop|once                  reverb <wet share 0..1>
//   tail <seconds>                  sound kept after the last note (once)
//   voice <name> <instrument> <gain> <pan -1..1>
//   chord <bass note> : <chord tones...>     one bar of harmony
//   hold <voice>      the voice holds each bar's chord tones
//   root <voice>      the voice plays each bar's bass note
//   arp <voice> <i|. ...>   per eighth of every bar, a chord tone (index) or a rest
//   notes <voice> | <note:beats ...> | ...   a melody; "-" rests, bars
//                                            between bars must be full
// Notes are names with octave: C4 is middle C, F#5, Bb3.
#pragma once

#include <string>
#include <vector>

struct vpVoice {
  std::string name;
  std::string instrument;  // pad, bass, epiano, flute or bell
  float gain = 1.0f;
  float pan = 0.0f;
};

struct vpNote {
  size_t voice;
  double start;  // in beats from the start of the piece
  double beats;  // sounding length
  int midi;      // 69 is A4 at 440 Hz
  float velocity;
};

struct vpScore {
  double tempo = 120.0;
  int meter = 4;
  bool loop = false;
  float reverb = 0.0f;
  double tail = 2.0;  // seconds after the last note of a piece played once
  int bars = 0;
  std::vector<vpVoice> voices;
  std::vector<vpNote> notes;
};

// MIDI number of a note name such as "C4", "F#5" or "Bb3"; -1 when malformed.
int vpNoteNumber(const std::string& name);

// False with a message naming the line when a statement is malformed, a
// voice or instrument is unknown, a note is not a note, or a bar of a melody
// does not add up to the meter.
bool vpParseScore(const std::string& text, vpScore* score, std::string* error);
