#pragma once
// Films as text: a description lists the header and one block per track with every field its
// version stores, by name and as stored (docs/films.md). Describing a film and parsing the text
// gives back an equal film, so a dumped film builds back to the same bytes.
#include <string>

#include "formats/film_file.h"

namespace nova {

// The description of a film (UTF-8; Shift-JIS strings shown as UTF-8, bytes that do not convert
// as \xNN escapes).
std::string DescribeFilm(const TFilmFile& film);

// A film from its description (UTF-8). Fields a track leaves out take the values of a new track
// of its type (NewFilmTrack with the film's scene size); header fields left out take those of
// a new film. Raises ENovaError "NAME:LINE: what is wrong" (`name` Shift-JIS).
TFilmFile ParseFilmDescription(const std::string& text, const std::string& name);

}  // namespace nova
