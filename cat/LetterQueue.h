#pragma once

#include "focus/Letter.h"

#include <vector>

class CatState;

// The letters waiting for the user, oldest first; whether the cat holds the first one in its
// mouth; which one is open. Keeps the picture's unread count and open letter in step. The
// overlay decides when the cat fetches, carries and opens them; this only keeps the record.
class LetterQueue {
  public:
    explicit LetterQueue(CatState& state) : state(state) {}

    // Queues the letter behind the others. A second update offer is dropped (false): one is
    // enough, and the first keeps its place.
    bool deliver(const Letter& letter);
    // The cat comes on screen or back from an errand with (or without) the letters in its mouth.
    void setCarrying(bool carrying) { carrying_ = carrying; }
    // Opens the first letter if the cat holds it; false when there is nothing to open.
    bool open();
    // The open (first) letter is read: it leaves the queue, and with the last one gone the
    // cat's mouth is empty. False when nothing waits.
    bool markRead();

    const std::vector<Letter>& letters() const { return queue; }
    bool empty() const { return queue.empty(); }
    // Letters wait that the cat has not fetched yet.
    bool toFetch() const { return !queue.empty() && !carrying_; }
    // The cat holds the first letter in its mouth.
    bool carried() const { return carrying_ && !queue.empty(); }
    // The letter open in the picture carries a focus report.
    bool readingReport() const;

    // A bubble shows over the cat (an open letter or the eaten bubble): remembers whether it is
    // a report, so the bubble keeps a report's room while it shrinks away after closing.
    void bubbleShows() { reportBubble_ = readingReport(); }
    bool reportBubble() const { return reportBubble_; }

  private:
    CatState& state;
    std::vector<Letter> queue;
    bool carrying_ = false;
    bool reportBubble_ = false; // the last bubble shown was a report letter
};
