#pragma once
// Utterances waiting for the voice. A newer utterance of a kind takes the place of one of
// that kind still waiting, so what is spoken never lags the train.
#include <deque>
#include <optional>

#include "speech/utterance.hpp"

namespace vantrel::speech {

class SpeechQueue {
public:
    void push(Utterance u) {
        for (Utterance& waiting : queue_)
            if (waiting.kind == u.kind) {
                waiting = std::move(u);
                return;
            }
        queue_.push_back(std::move(u));
    }
    [[nodiscard]] std::optional<Utterance> pop() {
        if (queue_.empty()) return std::nullopt;
        Utterance u = std::move(queue_.front());
        queue_.pop_front();
        return u;
    }
    [[nodiscard]] bool empty() const { return queue_.empty(); }
    [[nodiscard]] size_t size() const { return queue_.size(); }
    void clear() { queue_.clear(); }

private:
    std::deque<Utterance> queue_;
};

}  // namespace vantrel::speech
