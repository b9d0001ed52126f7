// The IDs of the bundled example, so that a resource compiler can take the script a run wrote.
#include <winresrc.h>

#define IDD_ABOUT 100
#define IDC_STATIC -1
#define IDS_APP_TITLE 1
#define IDS_READY 2
#define IDS_OPEN_FAILED 3
#define IDS_GREETING 4
#define IDS_CAFE 5
#define IDS_WIDE_EMPTY 6
#define IDS_SAVE_FAILED 7
#define IDS_SAVE 8
#define IDS_SAVE_AS 9
#define IDS_LANGUAGE_TABLE 10
#define IDS_STATUS_IDLE 11
#define IDS_CONNECTION_LOST_WHILE_SAVING 12
#define IDS_OPENER_ON_KEYWORD_LINE 13
#define IDS_ONE_LINE_TABLE 14
