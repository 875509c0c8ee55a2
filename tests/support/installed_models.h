// A supported-model file of chosen models and classes, installed in a
// fresh system directory for one test.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "authoring/data_file_writer.h"
#include "catalogue/data_file_format.h"
#include "support/temp_system_directory.h"

namespace zeseal::testing {

struct InstalledModel {
    std::string normalizedName;
    std::int16_t supportClass;
};

inline void InstallModels(const TempSystemDirectory& dir, const std::vector<InstalledModel>& models) {
    std::vector<authoring::ModelFileEntry> entries;
    for (const InstalledModel& model : models) {
        entries.push_back({catalogue::kRecordTag,
                           authoring::MakeModelRecord(model.normalizedName,
                                                      {3, 0, 0, 0, 1, 4, 0, model.supportClass})});
    }
    dir.Write(catalogue::kModelFileName, authoring::BuildModelFile(entries));
}

}  // namespace zeseal::testing
