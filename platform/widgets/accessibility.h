#pragma once

// What a screen reader learns of the controls where Qt's own accessible
// interfaces say too little: a scroll bar's value in its owner's words, a
// picture box and a window in the role their owner gives them.

namespace quorvel {

// Registers the interfaces with Qt's accessibility. The controls concerned
// call it when they are built; further calls do no harm.
void installAccessibleInterfaces();

} // namespace quorvel
