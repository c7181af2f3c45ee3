// Tells the learner, once per run, why speech cannot be heard at all.
#pragma once

#include <string>

namespace pw {

// "Sentences cannot be read aloud: ..." with reason, the first time only;
// later calls do nothing. Call on the user-interface thread.
void tellSpeechUnavailable(const std::u16string& reason);

// Whether the learner has been told; for tests.
bool speechUnavailableTold();
void resetSpeechNoticeForTesting();

}  // namespace pw
