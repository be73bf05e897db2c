// The launch order dialog: the launch folder's files with check boxes, in launch order. On OK
// every listed file is renamed so that its prefix carries its new place and state.
#pragma once

#include <string>

#include "folder/CFileList.h"
#include "platform/Dialog.h"

class COrderDialog : public platform::Dialog
{
public:
    explicit COrderDialog(platform::Host& host);

    void SetFolder(std::string folder) { m_strFolder = std::move(folder); }
    bool OnInitDialog() override;

private:
    void OnMoveUp();
    void OnMoveDown();
    void OnEnableAll();
    void OnDisableAll();
    void OnApplyOrder();
    void OnDeleteFile();
    void MoveItem(int from, int to);
    void SetAllChecks(int state);

    std::string m_strFolder;
    CFileList m_fileList;
};
