// Dialog and control numbers shared by the dialog templates and their
// procedures.
#ifndef TINDLE_DIALOGS_DIALOG_IDS_H
#define TINDLE_DIALOGS_DIALOG_IDS_H

#define IDD_SETTINGS 2003
#define IDD_CREDITS 107
#define IDD_PICK_DRIVE 145
#define IDD_COPYING 147

#define IDC_PASSWORD_PROTECT 1001
#define IDC_SET_PASSWORD 1002
#define IDC_CREDITS 1003
#define IDC_DUPLICATE 1004
#define IDC_DRIVE_LIST 1005
#define IDC_ENLARGE 1006

#endif
