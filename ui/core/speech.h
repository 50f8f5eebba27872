#pragma once

#include <string>

#include "run/controls.h"

namespace infotest {

// What a screen reader cannot find on the screen by itself, the same in
// every window: which question the answers belong to, and what a press
// changed that the pupil did not focus. A reader speaks the focused control
// and what the program announces; it cannot tell that Label1 is the
// question of the options, and it ignores a label's caption changing.

// The captions a press may change that a pupil who cannot see must hear.
// The clock's labels are not among them: they change every second and are
// never announced.
struct SpokenCaptions {
    std::string question;  // Label1
    std::string number;    // Label6
    std::string accepted;  // Label7
    std::string errors;    // Label4
    std::string grade;     // Label14
};

SpokenCaptions SpokenCaptionsOf(const Controls& window);

// The description of every answer: "Вопрос N из 21. " and the question shown;
// empty before the test has shown one.
std::string AnswersDescription(const SpokenCaptions& shown);

// What one press that turned `before` into `after` announces, once, after
// the press has ended (a procedure may write a label several times): the
// grade, a new question with its number, or the judgement of an answer with
// the error count; empty when nothing of that changed. A second Check on a
// judged question changes nothing and so says nothing.
std::string AnnouncementAfter(const SpokenCaptions& before, const SpokenCaptions& after);

}  // namespace infotest
