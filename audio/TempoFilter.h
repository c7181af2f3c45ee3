// Changes the tempo of sound without changing its pitch (SoundTouch), for
// sound that is pushed through as it comes rather than pulled from a file:
//
//   TempoFilter slower(22050, 1);
//   slower.setTempo(0.6);              // slower; 1 would be unchanged
//   slower.put(frames, n);             // as the sound comes
//   n = slower.take(out, capacity);    // what is ready, as often as it gives
//   slower.flush();                    // no more input: the rest comes out
//
// After flush() exactly as many frames come out as the input accounts for
// (its length divided by the tempo); SoundTouch's padding is cut off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace soundtouch {
class SoundTouch;
}

namespace pw {

class TempoFilter {
public:
    TempoFilter(int rate, int channels);
    ~TempoFilter();
    TempoFilter(const TempoFilter&) = delete;
    TempoFilter& operator=(const TempoFilter&) = delete;

    // tempo: 0.5 takes twice the time; semitones moves the pitch. Forgets
    // what the filter holds.
    void configure(double tempo, double semitones = 0.0);
    double tempo() const { return m_tempo; }
    int channels() const { return m_channels; }
    // Forgets what the filter holds and starts counting again.
    void clear();

    void put(const float* frames, size_t n);
    void flush();
    bool isFlushed() const { return m_flushed; }
    // Up to frames re-timed frames; fewer when no more are ready.
    size_t take(float* out, size_t frames);

private:
    std::unique_ptr<soundtouch::SoundTouch> m_touch;
    int m_channels;
    double m_tempo = 1.0;
    double m_expected = 0.0;
    int64_t m_received = 0;
    bool m_flushed = false;
};

}  // namespace pw
