#include "interpreter.h"
#include "text_store.h"

TokenSequence::TokenSequence() : texts_(std::make_shared<TextStore>()) {}

void TokenSequence::release_before(std::size_t index) {
  while (first_kept_ < index && !tokens_.empty()) {
    tokens_.pop_front();
    ++first_kept_;
  }
}
