#include "cat/CaptionBoard.h"

#include "cat/CatState.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <algorithm>
#include <cmath>

void CaptionBoard::clearBackToWork() {
    backToWorkUntil = -63114076800.0;
}

void CaptionBoard::notice(const QString& text, double now) {
    if (state.caption() != text) state.setCaption(text);
    // Not a timed caption: the timer leaves it until the notice has been read.
    byTimer = false;
    noticeUntil = now + 8;
}

bool CaptionBoard::showsNotice() const {
    return noticeUntil && state.caption();
}

void CaptionBoard::refresh(double t, std::optional<double> breakUntil) {
    // The countdown is formatted only when its shown second changes, so a running break costs
    // no text work per frame.
    if (cheer_ && t < cheer_->until) {
        timed = Timed::cheer;
        showTimed(cheer_->text);
        return;
    }
    if (breakUntil) {
        const qint64 left = qint64(std::ceil(std::max(*breakUntil - t, 0.0)));
        if (timed != Timed::countdown || left != countdownShown) {
            timed = Timed::countdown;
            countdownShown = left;
            showTimed(S().breakLeft(countdown(double(left))));
        }
        return;
    }
    if (t < backToWorkUntil) {
        if (timed != Timed::backToWork) {
            timed = Timed::backToWork;
            showTimed(S().backToWork());
        }
        return;
    }
    timed = Timed::none;
    if (byTimer) {
        state.setCaption(std::nullopt);
        byTimer = false;
    } else if (noticeUntil && t >= *noticeUntil) {
        // A notice of our own (a file that could not be put back) goes after a while.
        noticeUntil.reset();
        state.setCaption(std::nullopt);
    }
}

void CaptionBoard::showTimed(const QString& text) {
    if (state.caption() != text) state.setCaption(text);
    byTimer = true;
    noticeUntil.reset();
}
