#include "ui/portable/credit_texts.h"

namespace {

// Page 0 is right-aligned; the others are centred stacks of lines.
constexpr const char* kCreditPages[kCreditTextPages] = {
    "<VR<SW2<T'Velmora'>><%1><%4><T'Tolvane'><H<T'Build '><%2>><T'All rights reserved.'>>",
    "<VC<SW2<T'Geometry and construction'>><T'The Tolvane sketch group'><%4>"
    "<SW2<T'Measurement and calculation'>><T'The Tolvane numbers group'>>",
    "<VC<SW2<T'Drawing and documents'>><T'The Tolvane desktop group'><%4>"
    "<SW2<T'Testing'>><T'Everyone who drew a sketch with us'>>",
    "<VC<T'Velmora and Tolvane are trademarks of Tolvane.'>"
    "<T'Other names are trademarks of their owners.'>>",
};

}  // namespace

const char* CreditPageText(int32_t page) {
    return page >= 0 && page < kCreditTextPages ? kCreditPages[page] : nullptr;
}
