#include "cat/LetterQueue.h"

#include "cat/CatState.h"

#include <algorithm>

bool LetterQueue::deliver(const Letter& letter) {
    if (letter.update &&
        std::any_of(queue.begin(), queue.end(), [](const Letter& l) { return l.update; }))
        return false;
    queue.push_back(letter);
    state.setUnread(int(queue.size()));
    return true;
}

bool LetterQueue::open() {
    if (!carried()) return false;
    state.setReading(queue.front());
    return true;
}

bool LetterQueue::markRead() {
    if (queue.empty()) return false;
    queue.erase(queue.begin());
    state.setUnread(int(queue.size()));
    state.setReading(std::nullopt);
    if (queue.empty()) carrying_ = false;
    return true;
}

bool LetterQueue::readingReport() const {
    const Letter* open = state.reading();
    return open && open->report.has_value();
}
