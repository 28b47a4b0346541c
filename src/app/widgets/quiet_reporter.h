// A reporter that keeps nothing: what a tab reports to when it is used
// without the window (tests, tools) and no reporter was handed over.
#pragma once

#include <memory>

#include "core/report.h"

namespace lumora::app {

class QuietReporter {
public:
    // The tab's reporter when it has one, else this one (made on first use).
    Reporter* orThis(Reporter* reporter) {
        if (reporter != nullptr) return reporter;
        if (!reporter_) reporter_ = std::make_unique<Reporter>(sink_);
        return reporter_.get();
    }

private:
    SilentSink sink_;
    std::unique_ptr<Reporter> reporter_;
};

}  // namespace lumora::app
