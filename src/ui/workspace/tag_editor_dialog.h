// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "ui/workspace/workspace_dialogs.h"

class QCheckBox;
class QLineEdit;

namespace vantrel {

// "编辑标签": a box for each offered tag (the suggested ones and those the library uses),
// checked for the tactic's own, and a field for new ones separated by commas or spaces.
class TagEditorDialog final : public WorkspaceSheet {
    Q_OBJECT
public:
    TagEditorDialog(const std::vector<std::string>& current, const std::vector<std::string>& offered,
                    QWidget* parent = nullptr);

    // The checked tags in the order offered, then the typed ones (the store trims, cuts
    // and drops repeats).
    std::vector<std::string> tags() const;
    QLineEdit* typedField() const { return typed_; }
    const std::vector<QCheckBox*>& boxes() const { return boxes_; }

private:
    std::vector<QCheckBox*> boxes_;
    QLineEdit* typed_ = nullptr;
};

}  // namespace vantrel
