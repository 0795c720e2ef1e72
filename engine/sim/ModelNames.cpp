#include "engine/sim/ModelNames.h"

#include "engine/sim/NameVocabulary.h"

namespace vantrel::engine::sim {

ModelNames::ModelNames(bool systemDrive, std::u16string_view userName,
                       std::vector<std::u16string_view> fixedNames)
    : systemDrive_(systemDrive), userName_(userName), fixed_(std::move(fixedNames)) {}

void ModelNames::Set(std::uint64_t record, const NameSource& source) {
    if (record >= sources_.size()) {
        sources_.resize(record + 1);
    }
    sources_[record] = source;
}

std::u16string ModelNames::NameOf(std::uint64_t record) const {
    if (record >= sources_.size()) {
        return {};
    }
    const NameSource& source = sources_[record];
    switch (source.kind) {
        case NameKind::File:
            return FileName(source.folder, source.seed, source.size);
        case NameKind::Folder:
            return FolderName(source.folder, source.seed);
        case NameKind::Skeleton: {
            const auto skeleton = SkeletonFor(systemDrive_);
            if (source.seed >= skeleton.size()) {
                return {};
            }
            const std::u16string_view name = skeleton[source.seed].name;
            return std::u16string(name == kUserFolderPlaceholder ? userName_ : name);
        }
        case NameKind::Fixed:
            break;
    }
    return source.seed < fixed_.size() ? std::u16string(fixed_[source.seed]) : std::u16string();
}

}  // namespace vantrel::engine::sim
