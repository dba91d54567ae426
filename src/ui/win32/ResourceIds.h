// Resource and control IDs, shared by the resource script, the window code
// and the end-to-end driver. Names follow the forms' control names.
#pragma once

#define IDI_VELMORA 1

#define IDR_MAIN_MENU 100
#define IDR_MAIN_ACCELERATORS 101

#define IDD_MAIN 200
#define IDD_OPENDLG 201
#define IDD_FRMABOUT 202
#define IDD_DLG 203

// main: menus
#define IDM_NEW 300
#define IDM_OPEN 301
#define IDM_SAVE 302
#define IDM_DELETECONFIG 303
#define IDM_EXIT 304
#define IDM_DEBUG 305
#define IDM_ABOUT 306
#define IDM_EXPORT 307
#define IDM_IMPORT 308

// main: the separator lines and the four frames
#define IDC_LINE1 1000
#define IDC_FRAME1 1001
#define IDC_FRAME2 1002
#define IDC_FRAME3 1003
#define IDC_FRAME4 1004

// main: labels
#define IDC_LABEL1 1101
#define IDC_LABEL2 1102
#define IDC_LABEL3 1103
#define IDC_LABEL4 1104
#define IDC_LABEL5 1105
#define IDC_LABEL6 1106
#define IDC_LABEL7 1107
#define IDC_LABEL8 1108
#define IDC_LABEL9 1109
#define IDC_LABEL11 1111
#define IDC_LABEL12 1112
#define IDC_LABEL13 1113
#define IDC_LABEL14 1114
#define IDC_LABEL15 1115
#define IDC_LABEL16 1116
#define IDC_LABEL17 1117
#define IDC_LABEL18 1118
#define IDC_LABEL19 1119
#define IDC_LABEL20 1120
#define IDC_LABEL21 1121
#define IDC_LABEL22 1122

// main: text boxes
#define IDC_TEXT1 1201
#define IDC_TEXT2 1202
#define IDC_TEXT3 1203
#define IDC_TEXT4 1204
#define IDC_TEXT5 1205
#define IDC_TEXT6 1206
#define IDC_TEXT7 1207
#define IDC_TEXT8 1208
#define IDC_TEXT9 1209
#define IDC_TEXT11 1211
#define IDC_TEXT14 1214

// main: buttons
#define IDC_COMMAND1 1301
#define IDC_COMMAND2 1302
#define IDC_COMMAND3 1303
#define IDC_COMMAND4 1304
#define IDC_COMMAND5 1305
#define IDC_COMMAND6 1306
#define IDC_COMMAND7 1307
#define IDC_COMMAND8 1308
#define IDC_COMMAND9 1309
#define IDC_COMMAND10 1310
#define IDC_COMMAND11 1311
#define IDC_COMMAND12 1312
#define IDC_COMMAND13 1313

// main: size boxes, check boxes, option buttons, options list
#define IDC_COMBO1 1401
#define IDC_COMBO2 1402
#define IDC_COMBO3 1403
#define IDC_CHECK1 1501
#define IDC_CHECK2 1502
#define IDC_OPTION1 1601
#define IDC_OPTION2 1602
#define IDC_LIST1 1701

// openDlg
#define IDC_OPENDLG_OKBUTTON 2001
#define IDC_OPENDLG_CANCELBUTTON 2002
#define IDC_OPENDLG_COMBO1 2003

// frmAbout
#define IDC_FRMABOUT_PICICON 2101
#define IDC_FRMABOUT_LBLTITLE 2102
#define IDC_FRMABOUT_LABEL2 2103
#define IDC_FRMABOUT_LBLVERSION 2104
#define IDC_FRMABOUT_LBLDESCRIPTION 2105
#define IDC_FRMABOUT_LABEL1 2106
#define IDC_FRMABOUT_CMDOK 2107

// dlg
#define IDC_DLG_LABEL1 2201
