// Resource identifiers of Quorvel. The numbers are fixed: other programs and the tests find
// controls by them. Several dialogs reuse a number for different controls, so each id is
// named after its dialog.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Templates, icons and strings.
#define IDD_ABOUTBOX            100
#define IDS_ABOUTBOX            101
#define IDD_QUORVEL_DIALOG      102
#define IDR_MAINFRAME           128
#define IDD_OPERATION           129
#define IDD_CPTVIEW             130
#define IDI_WHITE               131
#define IDD_MOVE                133
#define IDD_WINDOWSTYLE         134
#define IDD_WINDOWSTYLEEX       135
#define IDD_LAYERED             136
#define IDD_SETLAYERED          137
#define IDD_CHILDINFO           139
#define IDI_FINDER              140
#define IDD_MESSAGELOG          141
#define IDD_WINDOWTREE          142
#define IDD_PROPERTIES          143
#define IDD_ACCESSIBILITY       144
#define IDD_SENDMESSAGE         150

// System menu command of the About entry.
#define IDM_ABOUTBOX            0x0010

// About box.
#define IDC_ABOUT_VERSION       1016

// Main dialog.
#define IDC_MAIN_LIST           1000
#define IDC_MAIN_REFRESH        1001
#define IDC_MAIN_VISIBLEONLY    1032
#define IDC_MAIN_PATH           1033
#define IDC_MAIN_WITHTITLE      1034
#define IDC_MAIN_AUTOUPDATE     1075
#define IDC_MAIN_CHILDINFO      1082
#define IDC_MAIN_FINDER         1100
#define IDC_MAIN_SEARCH         1103
#define IDC_MAIN_MESSAGELOG     1101
#define IDC_MAIN_TREE           1104
#define IDC_MAIN_PROPERTIES     1105
#define IDC_MAIN_ACCESSIBILITY  1108
#define IDC_MAIN_SENDMESSAGE    1109

// Operations panel.
#define IDC_OP_CLOSE            1002
#define IDC_OP_TOP              1003
#define IDC_OP_LEFT             1004
#define IDC_OP_RIGHT            1005
#define IDC_OP_BOTTOM           1006
#define IDC_OP_SHOW             1007
#define IDC_OP_HIDE             1008
#define IDC_OP_RESTORE          1009
#define IDC_OP_MINIMIZE         1010
#define IDC_OP_UP               1011
#define IDC_OP_LEFTMOVE         1012
#define IDC_OP_RIGHTMOVE        1013
#define IDC_OP_DOWN             1014
#define IDC_OP_MAXIMIZE         1015
#define IDC_OP_SUSPEND          1016
#define IDC_OP_RESUME           1017
#define IDC_OP_VISIBLE          1018
#define IDC_OP_ICONIC           1019
#define IDC_OP_ZOOMED           1020
#define IDC_OP_ENABLED          1021
#define IDC_OP_QUERYENDSESSION  1022
#define IDC_OP_ICON             1023
#define IDC_OP_JUMP             1024
#define IDC_OP_ENDSESSION       1025
#define IDC_OP_STYLE            1034
#define IDC_OP_EXSTYLE          1035
#define IDC_OP_WINSTYLE         1036
#define IDC_OP_EXSTYLEEDIT      1037
#define IDC_OP_ADDTAB           1079
#define IDC_OP_DELETETAB        1080
#define IDC_OP_NOR_TOP          1081
#define IDC_OP_NOR_LEFT         1082
#define IDC_OP_NOR_BOTTOM       1083
#define IDC_OP_MIN_X            1084
#define IDC_OP_MIN_Y            1085
#define IDC_OP_NOR_RIGHT        1087
#define IDC_OP_TOPMOST          1088
#define IDC_OP_MAX_X            1089
#define IDC_OP_MAX_Y            1090
#define IDC_OP_NOTOPMOST        1091
#define IDC_OP_POSTF5           1093

// Move dialog.
#define IDC_MOVE_X              1026
#define IDC_MOVE_XSPIN          1027
#define IDC_MOVE_Y              1028
#define IDC_MOVE_YSPIN          1030
#define IDC_MOVE_TOPLEFT        1076
#define IDC_MOVE_TOPRIGHT       1077
#define IDC_MOVE_BOTTOMLEFT     1078
#define IDC_MOVE_BOTTOMRIGHT    1079
#define IDC_MOVE_CENTER         1080

// Style editors: the check boxes carry the numbers of their rows; 1053 shows the whole word.
#define IDC_STYLE_VALUE         1053
#define IDC_STYLE_POPUP         1038
#define IDC_STYLE_CHILD         1039
#define IDC_STYLE_MINIMIZE      1040
#define IDC_STYLE_VISIBLE       1041
#define IDC_STYLE_DISABLED      1042
#define IDC_STYLE_CLIPSIBLINGS  1043
#define IDC_STYLE_CLIPCHILDREN  1044
#define IDC_STYLE_BORDER        1045
#define IDC_STYLE_DLGFRAME      1046
#define IDC_STYLE_VSCROLL       1047
#define IDC_STYLE_HSCROLL       1048
#define IDC_STYLE_SYSMENU       1049
#define IDC_STYLE_THICKFRAME    1050
#define IDC_STYLE_MINIMIZEBOX   1051
#define IDC_STYLE_MAXIMIZEBOX   1052
#define IDC_STYLE_CAPTION       1055
#define IDC_STYLE_OVERLAPPEDWINDOW 1056
#define IDC_STYLE_POPUPWINDOW   1057

#define IDC_EXSTYLE_DLGMODALFRAME   1054
#define IDC_EXSTYLE_NOPARENTNOTIFY  1055
#define IDC_EXSTYLE_TOPMOST         1056
#define IDC_EXSTYLE_ACCEPTFILES     1057
#define IDC_EXSTYLE_TRANSPARENT     1058
#define IDC_EXSTYLE_MDICHILD        1059
#define IDC_EXSTYLE_TOOLWINDOW      1060
#define IDC_EXSTYLE_WINDOWEDGE      1061
#define IDC_EXSTYLE_CLIENTEDGE      1062
#define IDC_EXSTYLE_CONTEXTHELP     1063
#define IDC_EXSTYLE_RIGHT           1064
#define IDC_EXSTYLE_RTLREADING      1065
#define IDC_EXSTYLE_LEFTSCROLLBAR   1066
#define IDC_EXSTYLE_CONTROLPARENT   1067
#define IDC_EXSTYLE_STATICEDGE      1068
#define IDC_EXSTYLE_APPWINDOW       1069
#define IDC_EXSTYLE_OVERLAPPEDWINDOW 1071
#define IDC_EXSTYLE_PALETTEWINDOW   1072
#define IDC_EXSTYLE_LAYERED         1073

// Capture view.
#define IDC_CPT_PRINTWINDOW         1015
#define IDC_CPT_COPYCLIPBOARD       1016
#define IDC_CPT_SURFACECAPTURE      1017
#define IDC_CPT_ICONICCAPTURE       1018
#define IDC_CPT_HIDECAPTURE         1019
#define IDC_CPT_SAVEPICTURE         1030


// Layered-attributes panel.
#define IDC_LAYERED_LAYEREDSTATE    1055
#define IDC_LAYERED_RED             1056
#define IDC_LAYERED_GREEN           1057
#define IDC_LAYERED_BLUE            1058
#define IDC_LAYERED_ALPHAVALUE      1059
#define IDC_LAYERED_ALPHASTATE      1060
#define IDC_LAYERED_COLORKEYSTATE   1061
#define IDC_LAYERED_SET             1062

// Set-layered dialog.
#define IDC_SETLAYERED_RED          1065
#define IDC_SETLAYERED_REDSPIN      1066
#define IDC_SETLAYERED_GREEN        1067
#define IDC_SETLAYERED_GREENSPIN    1068
#define IDC_SETLAYERED_BLUE         1069
#define IDC_SETLAYERED_BLUESPIN     1070
#define IDC_SETLAYERED_ALPHA        1071
#define IDC_SETLAYERED_ALPHASPIN    1072
#define IDC_SETLAYERED_COLORKEYFLAG 1073
#define IDC_SETLAYERED_ALPHAFLAG    1074

// Child-window inspector.
#define IDC_CI_REFRESH          1001
#define IDC_CI_RECT_TOP         1003
#define IDC_CI_RECT_LEFT        1004
#define IDC_CI_RECT_RIGHT       1005
#define IDC_CI_RECT_BOTTOM      1006
#define IDC_CI_REL_TOP          1007
#define IDC_CI_REL_LEFT         1008
#define IDC_CI_REL_RIGHT        1009
#define IDC_CI_REL_BOTTOM       1010
#define IDC_CI_CLIENT_W         1013
#define IDC_CI_CLIENT_H         1014
#define IDC_CI_WMCOPY           1016
#define IDC_CI_STYLE            1034
#define IDC_CI_EXSTYLE          1035
#define IDC_CI_STYLEEDIT        1036
#define IDC_CI_EXSTYLEEDIT      1037
#define IDC_CI_LIST             1083
#define IDC_CI_RECTRGN          1086
#define IDC_CI_RELEASERGN       1087
#define IDC_CI_CUTRGN           1088
#define IDC_CI_LBUTTONDOWN      1089
#define IDC_CI_LBUTTONUP        1090
#define IDC_CI_SETFOCUS         1091
#define IDC_CI_ENTERKEY         1092
#define IDC_CI_F5KEY            1094
#define IDC_CI_X                1095
#define IDC_CI_Y                1096
#define IDC_CI_XSPIN            1097
#define IDC_CI_YSPIN            1098
#define IDC_CI_CTRLC            1099
#define IDC_CI_MESSAGELOG       1102
#define IDC_CI_PROPERTIES       1106
#define IDC_CI_ACCESSIBILITY    1107
#define IDC_CI_SENDMESSAGE      1110

// Message log.
#define IDC_ML_LIST             1200
#define IDC_ML_STARTSTOP        1201
#define IDC_ML_CLEAR            1202
#define IDC_ML_SAVE             1203
#define IDC_ML_FILTER           1204
#define IDC_ML_CHILDREN         1205
#define IDC_ML_STATUS           1206

// Window tree.
#define IDC_WT_TREE             1300
#define IDC_WT_SEARCH           1301
#define IDC_WT_REFRESH          1302
#define IDC_WT_OWNERS           1303
#define IDC_WT_SAVE             1304
#define IDC_WT_COMPARE          1305
#define IDC_WT_FOLLOW           1306
#define IDC_WT_CHANGES          1307
#define IDC_WT_CLEAR            1308
#define IDC_WT_STATUS           1309

// Properties of one window.
#define IDC_PR_LIST             1400
#define IDC_PR_REFRESH          1402

// Accessible objects of one window.
#define IDC_AC_TREE             1500
#define IDC_AC_LIST             1501
#define IDC_AC_DEFAULTACTION    1502
#define IDC_AC_REFRESH          1503
#define IDC_AC_STATUS           1504
#define IDC_AC_GIVEUP           1505

// The send-message dialog
#define IDC_SM_MESSAGE          1600
#define IDC_SM_WPARAM           1601
#define IDC_SM_LPARAM           1602
#define IDC_SM_SEND             1603
#define IDC_SM_POST             1604
#define IDC_SM_TIMEOUT          1605
#define IDC_SM_RESULT           1606
#define IDC_SM_HISTORY          1607
#define IDC_SM_MARKLOG          1608
