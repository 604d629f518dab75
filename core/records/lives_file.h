// The two lives files of a save folder.
//
// `Vind.lives` holds the world: the line "Vind is living in Vek !!" and the phase that the
// next step runs. `<place name>.lives` (`Ostrel.lives` for the world's place) holds the place:
// the line "Ostrel is living in Vek!!", a line "time turn", then the blocks of the gene pool,
// the population and the field. Doubles carry 10 significant digits; lines end in CR LF.
// Readers skip the header lines without looking at them.
//
// These functions only turn objects into text and text into objects; the save folder, the
// order of the files and the atomic replacement are records/world_document.h's. The caller
// holds the world's mutex. A reader never throws on malformed input: it stops, and its
// result says what was wrong and near which line.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

class mPlace;

namespace vek {

inline constexpr const char* kWorldLivesName = "Vind.lives";

// What a lives-file reader found wrong; empty when the read succeeded. The text names the
// block or line, not the file (the caller knows which file it gave).
struct LivesReadError {
  std::string what;
  bool failed() const { return !what.empty(); }
};

// "Vind is living in Vek !!", then the phase.
std::string worldLivesText(int phase);
// The phase that `Vind.lives` holds after its header line. Fails unless it is an integer in
// 0..4.
LivesReadError readWorldLives(std::string_view text, int& phase);

// The header line, "time turn", and the gene pool, population and field blocks, doubles at
// `digits` significant digits (10 in the lives file; 17 give every double back exactly).
void writePlaceLives(const mPlace& place, std::ostream& out, int digits = 10);
std::string placeLivesText(const mPlace& place, int digits = 10);

// Reads a place's lives file into `place`, which should be freshly made (an empty gene pool
// and population): the gene pool is read before the population, whose individuals look their
// genomes up in it. On failure the place holds whatever was read before the fault; callers
// that must keep a world intact read into a scratch place first (world_document does). A
// value that no save holds (a negative turn or age, an opcode outside 0..31, a counter past
// its range) fails the read, and the message names it and its line.
LivesReadError readPlaceLives(mPlace& place, std::string_view text);

}  // namespace vek
