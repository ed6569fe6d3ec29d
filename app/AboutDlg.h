// The About box: the program icon and the product name with its version.
#pragma once
#include <string>

#include "platform/Dialog.h"

class CAboutDlg : public platform::CDialog {
 public:
  CAboutDlg();
  ~CAboutDlg() override;

  std::string m_strVersion;

 protected:
  void DoDataExchange(platform::CDataExchange& dx) override;
  BOOL OnInitDialog() override;
};
