#pragma once
// A file chooser for tests: keeps every request and answers from a script.
#include <deque>

#include "FileChooser.h"

namespace Platform::FileChooser {

class FakeFileChooser : public IFileChooser {
public:
    Result Run(const Request& request) override
    {
        requests.push_back(request);
        if (request.whileOpen) request.whileOpen();
        if (answers.empty()) return Result{Outcome::Cancel, {}, {}};
        Result next = answers.front();
        answers.pop_front();
        return next;
    }

    void AnswerPaths(std::vector<std::string> paths) { answers.push_back(Result{Outcome::Ok, std::move(paths), {}}); }
    void AnswerCancel() { answers.push_back(Result{Outcome::Cancel, {}, {}}); }
    void AnswerError(std::string why) { answers.push_back(Result{Outcome::Error, {}, std::move(why)}); }

    std::vector<Request> requests;
    std::deque<Result> answers;
};

}  // namespace Platform::FileChooser
