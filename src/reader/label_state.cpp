#include "reader/label_state.h"

namespace kestrel::reader {

void LabelState::Defaults() {
    const Point keep = carriageReturn;
    *this = LabelState{};
    carriageReturn = keep;
}

}  // namespace kestrel::reader
