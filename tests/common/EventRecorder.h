#pragma once
// Records the state flags of every changed event an object raises, for the lifetime of the
// recorder.

#include <cstdint>
#include <vector>

#include <Ostrel/Quill/ChangedSignal.h>

struct EventRecorder {
    explicit EventRecorder(Ostrel::Quill::IChangedEvent& source)
        : connection(source.ChangedEvent().connect(
              [this](const std::shared_ptr<Ostrel::Quill::ChangedEventArgs>& args) {
                  flags.push_back(args->StateFlags());
              }))
    {
    }
    std::vector<std::uint64_t> flags;
    boost::signals2::scoped_connection connection;
};
