#pragma once
// A picture a list loads while it takes input or saved data: a file that cannot be read leaves
// the list without it instead of failing the input or the load.
#include <exception>

namespace nova {

template <class F>
void LoadQuietly(F&& load) {
  try {
    load();
  } catch (const std::exception&) {
  }
}

}  // namespace nova
