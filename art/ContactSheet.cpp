#include "art/ContactSheet.h"

bool ContactSheet::write() const {
    return false;
}
