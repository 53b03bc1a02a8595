// Resource identifiers of Tarvo.exe, shared by Tarvo.rc and the C++ sources.
// Plain #defines only: windres and Microsoft rc both read this file.
//
// Control ids are shared between pages wherever a control plays the same role
// (Next, Back, ReCheck, the progress bar, the three confirmation boxes), so one
// name covers every page that uses the number. A page's own text blocks are
// named after the UI string they show (IDC_CP3A_STATIC5 shows IDS_P3A_STATIC5),
// its step panel is IDC_<page>_STEPS.

#ifndef TARVO_RESOURCE_H
#define TARVO_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// String table, system menu and icon.
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010
#define IDR_MAINFRAME 128

// Dialog templates: the main window, the password prompt and one per page class.
#define IDD_TARVO_DIALOG 102
#define IDD_WAITDLG 142
#define IDD_CP1 132
#define IDD_CP2 129
#define IDD_CP3 130
#define IDD_CP3A 143
#define IDD_CP4 141
#define IDD_CP4A 144
#define IDD_CP4B 153
#define IDD_CP4B1 154
#define IDD_CP4B2 155
#define IDD_CP4B3 156
#define IDD_CP4C 157
#define IDD_CP4D 158
#define IDD_CP4E 159
#define IDD_CP4F 160
#define IDD_CP4G 161
#define IDD_CP5 162
#define IDD_CP6 145
#define IDD_CP7 163
#define IDD_CP8 164
#define IDD_CP9 165
#define IDD_CP10 166
#define IDD_CP11 146
#define IDD_CP12 147
#define IDD_CP13A 148
#define IDD_CP13B 149
#define IDD_CP13C 150
#define IDD_CP13D 151
#define IDD_CP14 152
#define IDD_CP15 167
#define IDD_CP8A 168

// Button labels used on several pages.
#define IDC_NEXT 1005      // Next: CP2, CP3, CP5, CP6, CP7, CP8
#define IDC_BACK 1006      // Back: CP2, CP3, CP11, CP12, CP13A-CP13D, CP14, CP15
#define IDC_CONN_NEXT 1059 // Next: CP3A, CP4A
#define IDC_CONN_BACK 1060 // Back: CP3A
#define IDC_RECHECK 1149   // ReCheck: CP4C, CP4D, CP4E

// Controls shared by role.
#define IDC_DROPLIST 1053      // drop-down list: languages on CP1, time zones on CP6
#define IDC_EDIT_FIELD 1073    // CP3A PPPoE user name, CP7 new wireless name, CP8 wireless password
#define IDC_EDIT_PASSWORD 1012 // CP3A PPPoE password, CP5 new password repeated
#define IDC_PROGRESS 1068      // progress bar: CP4, CP8A
#define IDC_CHECK_ITEM1 1109   // confirmation boxes: CP4C, CP4E
#define IDC_CHECK_ITEM2 1052
#define IDC_CHECK_ITEM3 1110

// CP1: language page.
#define IDC_CP1_NEXT 1134
#define IDC_CP1_STATIC1 1137 // first heading
#define IDC_CP1_STATIC2 1136 // second heading

// CP2: first introduction page.
#define IDC_CP2_STEPS 1055
#define IDC_CP2_STATIC2 1056
#define IDC_CP2_STATIC3 1138

// CP3: second introduction page.
#define IDC_CP3_STEPS 1057
#define IDC_CP3_STATIC2 1058
#define IDC_CP3_STATIC3 1117
#define IDC_CP3_STATIC4 1139

// CP3A: connection type page.
#define IDC_RADIO_DHCP 1063
#define IDC_RADIO_PPPOE 1064
#define IDC_RADIO_BIGPOND 1065
#define IDC_EDIT_BP_USER 1114
#define IDC_EDIT_BP_PASSWORD 1115
#define IDC_CP3A_STEPS 1061
#define IDC_CP3A_STATIC2 1062
#define IDC_CP3A_STATIC3 1140
#define IDC_CP3A_STATIC4 1141
#define IDC_CP3A_STATIC5 1142
#define IDC_CP3A_STATIC6 1143
#define IDC_CP3A_STATIC7 1144
#define IDC_CP3A_STATIC8 1145

// CP4: apply and check page.
#define IDC_CP4_STEPS 1066
#define IDC_CP4_STATIC2 1067
#define IDC_CP4_STATIC3 1118

// CP4A: connection works.
#define IDC_CP4A_STEPS 1111
#define IDC_CP4A_STATIC2 1112
#define IDC_CP4A_STATIC3 1113
#define IDC_CP4A_STATIC4 1146

// CP4C: router not reachable.
#define IDC_CP4C_STEPS 1105
#define IDC_CP4C_STATIC2 1106
#define IDC_CP4C_STATIC3 1107
#define IDC_CP4C_STATIC4 1108
#define IDC_CP4C_STATIC5 1147
#define IDC_CP4C_TROUBLE 1190 // what went wrong, in plain words

// CP4D: PC network settings do not suit.
#define IDC_CP4D_STEPS 1101
#define IDC_CP4D_STATIC2 1102
#define IDC_CP4D_STATIC3 1103
#define IDC_CP4D_STATIC4 1189
#define IDC_CP4D_TROUBLE 1191

// CP4E: no Internet.
#define IDC_CP4E_STEPS 1128
#define IDC_CP4E_STATIC2 1129
#define IDC_CP4E_STATIC3 1130
#define IDC_CP4E_STATIC4 1131
#define IDC_CP4E_STATIC5 1150
#define IDC_CP4E_TROUBLE 1192

// CP5: administrator password.
#define IDC_EDIT_NEWPASS 1070
#define IDC_CP5_STEPS 1069
#define IDC_CP5_STATIC2 1075
#define IDC_CP5_STATIC3 1076
#define IDC_CP5_STATIC4 1077
#define IDC_CP5_STATIC5 1151
#define IDC_CP5_STATIC6 1152

// CP6: time zone.
#define IDC_CP6_STEPS 1071
#define IDC_CP6_STATIC2 1078
#define IDC_CP6_STATIC3 1079
#define IDC_CP6_STATIC4 1153
#define IDC_CP6_STATIC5 1154

// CP7: wireless name.
#define IDC_CP7_STEPS 1072
#define IDC_CP7_STATIC2 1080
#define IDC_CP7_STATIC3 1081 // sentence naming the current network
#define IDC_CP7_SSID 1162    // label showing the current network name
#define IDC_CP7_STATIC5 1127
#define IDC_CP7_STATIC6 1164
#define IDC_CP7_STATIC7 1163

// CP8: wireless security.
#define IDC_CP8_STEPS 1074
#define IDC_CP8_STATIC2 1082
#define IDC_CP8_STATIC3 1083
#define IDC_CP8_STATIC4 1155
#define IDC_CP8_STATIC5 1156
#define IDC_CP8_STATIC6 1157

// CP8A: restart wait.
#define IDC_CP8A_STEPS 1125
#define IDC_CP8A_STATIC2 1126
#define IDC_CP8A_STATIC3 1158

// CP9: completion.
#define IDC_PRINT 1165
#define IDC_ADD 1166
#define IDC_CP9_BLANK 1116 // spare label with a blank text
#define IDC_CP9_STEPS 1084
#define IDC_CP9_STATIC2 1085
#define IDC_CP9_STATIC3 1086
#define IDC_CP9_STATIC4 1167 // captions of the summary
#define IDC_CP9_STATIC5 1168
#define IDC_CP9_STATIC6 1169 // the summary values
#define IDC_CP9_CODE 1240 // the QR code that joins a phone to the wireless network
#define IDC_CP9_SCAN 1241 // its caption

// CP10: device joining entry page.
#define IDC_CP10_STATIC1 1087
#define IDC_CP10_STATIC2_TOP 1188
#define IDC_CP10_STATIC2_BOTTOM 1088
#define IDC_CP10_LINK1 1089 // to CP11
#define IDC_CP10_STATIC4 1090
#define IDC_CP10_LINK2 1091 // to CP12

// CP11: single instruction page.
#define IDC_CP11_STATIC1 1170
#define IDC_CP11_STATIC2 1171

// CP12: device chooser.
#define IDC_CP12_STATIC1 1178
#define IDC_CP12_HEAD_PC 1180
#define IDC_CP12_HEAD_TABLET 1179
#define IDC_CP12_LINK_WIN7 1172
#define IDC_CP12_LINK_VISTA 1173
#define IDC_CP12_LINK_XP 1174
#define IDC_CP12_LINK_OSX 1175
#define IDC_CP12_LINK_IOS 1176
#define IDC_CP12_LINK_ANDROID 1177

// CP13A-CP15: device instruction pages (title, instructions, further text).
#define IDC_CP13A_STATIC1 1119
#define IDC_CP13A_STATIC2 1181
#define IDC_CP13A_STATIC3 1187
#define IDC_CP13B_STATIC1 1120
#define IDC_CP13B_STATIC2 1182
#define IDC_CP13C_STATIC1 1121
#define IDC_CP13C_STATIC2 1183
#define IDC_CP13D_STATIC1 1122
#define IDC_CP13D_STATIC2 1184
#define IDC_CP14_STATIC1 1123
#define IDC_CP14_STATIC2 1185
#define IDC_CP15_STATIC1 1124
#define IDC_CP15_STATIC2 1186

// CWaitDlg: password prompt.
#define IDC_WAIT_MESSAGE 1032
#define IDC_WAIT_OK 1132
#define IDC_WAIT_PASSWORD 1133

#endif // TARVO_RESOURCE_H
