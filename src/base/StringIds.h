#pragma once

// Named ids of the window captions, labels, dialog questions and other visible texts kept in
// resources/strings/<lang>/captions.tsv (ids from 10000 up). The system's numbered texts below
// 10000 are loaded by their number, with the text quoted in a comment at the call.
// Use: LoadStr(Sid::MainViewManager). Each comment gives the Chinese text.
namespace Sid {

// Captions shared by several windows (buttons, panel labels, the check-box column title).
constexpr int Ok = 15107;                  // 确定
constexpr int Apply = 13309;               // 应用
constexpr int ApplyToChecked = 15213;      // 应用到所有选择项
constexpr int Close = 13300;               // 关闭
constexpr int Exit = 13212;                // 退出
constexpr int Refresh = 15102;             // 刷新
constexpr int CancelOperation = 15204;     // 取消操作
constexpr int CheckColumn = 15104;         // @
constexpr int LabelName = 15206;           // 名称:
constexpr int LabelType = 15207;           // 类型:
constexpr int LabelFixedId = 15209;        // 固有ID:
constexpr int LabelInterval = 15208;       // 间隔:
constexpr int LabelFirstSample = 15210;    // 起始时间:
constexpr int LabelLastSample = 15211;     // 结束时间:
constexpr int LabelState = 15401;          // 状态:
constexpr int LabelStartTime = 15402;      // 启动时间:
constexpr int LabelStopTime = 16200;       // 停止时间:
constexpr int LabelRecordInterval = 15403; // 记录间隔:
constexpr int LabelDataLength = 16201;     // 数据长度:
constexpr int LabelCh1 = 16202;            // 通道1:
constexpr int LabelCh2 = 16203;            // 通道2:
constexpr int LabelCh1Alarm = 15405;       // 通道1报警:
constexpr int LabelCh2Alarm = 15406;       // 通道2报警:

// Serial port: failure to start the reader thread.
constexpr int PortThreadFailed = 11200;      // CreateThread failed.
constexpr int PortThreadFailedTitle = 11201; // ok

// Main window: title, view buttons and its own buttons.
constexpr int MainTitle = 13200;        // Corvane Wireless System
constexpr int MainNewMessage = 13201;   // 新消息
constexpr int MainViewManager = 13202;  // 仪器管理
constexpr int MainViewRealtime = 13203; // 即时数据
constexpr int MainViewLogging = 13204;  // 启动管理
constexpr int MainViewDownload = 13205; // 下载管理
constexpr int MainViewHistory = 13206;  // 历史数据
constexpr int MainViewUsers = 13207;    // 用户管理
constexpr int MainViewGprs = 13208;     // GPRS管理
constexpr int MainViewMessages = 13209; // 消息
constexpr int MainMonitor = 13210;      // 监控界面
constexpr int MainSettings = 13211;     // 系统设置

// System settings dialog: database and option pages.
constexpr int SetNewDbGroup = 13301;    // 创建新的数据库：
constexpr int SetNewDbName = 13302;     // 新数据库名称：
constexpr int SetCreateDb = 13303;      // 创建库文件
constexpr int SetSystemDbGroup = 13304; // 设置系统数据库：
constexpr int SetChooseDb = 13305;      // 选择数据库：
constexpr int SetSystemDb = 13306;      // 设置数据库
constexpr int SetCelsius = 13307;       // 摄氏度
constexpr int SetFahrenheit = 13308;    // 华氏度
constexpr int SetSoundAlarm = 13310;    // 打开声音报警
constexpr int SetEnglish = 13311;       // 英语
constexpr int SetChinese = 13312;       // 简体中文

// Database connection failures (message box text and title).
constexpr int DbLinkFailed = 14100; // Fail to link database
constexpr int DbErrorTitle = 14101; // ERROR
constexpr int DbError = 14102;      // Database Error:

// File dialog name filter of data files.
constexpr int DataFileFilter = 14400; // Corvane Files (*.cvdf)

// Instrument management view and its add, delete and rename dialogs.
constexpr int MgrAdd = 13213;            // 添加
constexpr int MgrDelete = 13214;         // 删除
constexpr int MgrRename = 13215;         // 设置名称
constexpr int MgrNetwork = 15100;        // 仪器网络
constexpr int MgrList = 15101;           // 仪器列表
constexpr int MgrScan = 15103;           // 网络扫描
constexpr int MgrAddTitle = 15105;       // 添加新的设备
constexpr int MgrAddressNote = 15106;    // (必填*小写)
constexpr int MgrDeleteQuestion = 15108; // 确定要从库中删除所有选中的仪器吗？
constexpr int MgrDeleteList = 15109;     // 下列仪器将被删除：
constexpr int MgrRenameTitle = 15110;    // 重命名
constexpr int MgrNewName = 15111;        // 新名称：
constexpr int MgrLeaveQuestion = 15112;  // 确定要从网络中删除所有选中的仪器吗？

// Real-time data view and its interval and confirmation dialogs.
constexpr int RtStart = 15200;          // 启动即时数据
constexpr int RtStop = 15201;           // 停止即时数据
constexpr int RtChangeInterval = 15202; // 修改间隔参数
constexpr int RtFetchOne = 15203;       // 单次数据获取
constexpr int RtInfoGroup = 15205;      // 仪器即时数据信息
constexpr int RtSetupTitle = 15212;     // 启动即时数据设置
constexpr int RtStartQuestion = 15214;  // 确定要设置选中仪器的及时数据间隔吗？
constexpr int RtStartList = 15215;      // 下列仪器将重设及时数据间隔：
constexpr int RtStopQuestion = 15216;   // 确定要选中仪器停止返回及时数据吗？
constexpr int RtStopList = 15217;       // 下列仪器将停止返回及时数据：
constexpr int RtShowData = 15218;       // 显示数据

// Curve pages of the real-time and history views.
constexpr int CurveZoomIn = 15300;         // IN
constexpr int CurveZoomInHistory = 15301;  // in
constexpr int CurveZoomOut = 15302;        // OUT
constexpr int CurveZoomOutHistory = 15303; // out
constexpr int CurveAutoScale = 15304;      // 自动缩放数据坐标

// Logging command view and its confirmation dialogs.
constexpr int LogGroup = 15400;    // 仪器启动设置:
constexpr int LogAlarm = 15404;    // 报警
constexpr int LogStart = 15407;    // 启动记录
constexpr int LogStop = 15408;     // 停止记录
constexpr int LogSetAlarm = 15409; // 设置报警
// 启动记录将导致历史数据丢失。确定将所有选中仪器启动记录吗？
constexpr int LogStartQuestion = 15410;
constexpr int LogStartList = 15411;     // 下列仪器将启动记录：
constexpr int LogStopQuestion = 15412;  // 确定将所有选中仪器停止记录吗？
constexpr int LogStopList = 15413;      // 下列仪器将停止记录：
constexpr int LogAlarmQuestion = 15414; // 确定要设置所有选中仪器的报警状态吗？
constexpr int LogAlarmList = 15415;     // 下列仪器的报警状态将重设：

// Accessible names of the alarm limit edits.
constexpr int LogLowerLimit = 24100; // 下限
constexpr int LogUpperLimit = 24101; // 上限

// Download view and its confirmation dialog.
constexpr int DlGroup = 15500;     // 仪器下载设置:
constexpr int DlPlanGroup = 15501; // 仪器记录数据下载计划:
constexpr int DlPlanNone = 15502;  // 无计划
constexpr int DlPlanDaily = 15503; // 每天
constexpr int DlPlanOnce = 15504;  // 指定时间
constexpr int DlSetPlan = 15505;   // 设置计划
constexpr int DlModeGroup = 15506; // 仪器记录数据下载模式:
constexpr int DlModeAll = 15507;   // 下载全部数据
constexpr int DlModeRange = 15508; // 按指定时间段下载
constexpr int DlFrom = 15509;      // 起始:
constexpr int DlTo = 15510;        // 结束:
constexpr int DlSetMode = 15511;   // 设置模式
constexpr int DlDownload = 15512;  // 下载数据
constexpr int DlCancel = 15513;    // 取消下载
constexpr int DlQuestion = 15514;  // 确定要下载所有选中仪器的记录数据吗？
constexpr int DlList = 15515;      // 下列仪器的记录数据将被下载：

// GPRS view.
constexpr int GprsPhoneGroup = 15600; // 自动报警手机号码：
constexpr int GprsName = 15601;       // Name:
constexpr int GprsType = 15602;       // Type:
constexpr int GprsFixedId = 15603;    // Fixed ID:
constexpr int GprsLock = 15604;       // 锁定 GPRS 信息
constexpr int GprsBindGroup = 15605;  // GPRS 绑定信息:
constexpr int GprsOpenSlot = 24203;   // 编辑所选号码 (the open button, to assistive technology)

// Monitor screen.
constexpr int MonPrevPage = 15700;        // 上一页
constexpr int MonNextPage = 15701;        // 下一页
constexpr int MonStopAlarm = 15702;       // 终止报警声音
constexpr int MonTileNormal = 24200;      // 正常
constexpr int MonTileUnreachable = 24201; // 无法连接
constexpr int MonTileAlarm = 24202;       // 报警

// History view.
constexpr int HistRangeStart = 16100;  // 开始时间：
constexpr int HistRangeEnd = 16101;    // 结束时间：
constexpr int HistSet = 16102;         // 设置
constexpr int HistPrint = 16103;       // 打印数据
constexpr int HistSaveAs = 16104;      // 另存为
constexpr int HistOpenFile = 16105;    // 打开文件
constexpr int HistSearch = 16106;      // 搜索
constexpr int WorksheetFilter = 16107; // WorkSheet Files (*.xlc *.xls)

// Spreadsheet export.
// Excel is not installed! Please install the Excel software to use the export feature!
constexpr int ExcelMissing = 16300;

// Print preview dialog.
constexpr int PrintTitle = 16400;   // 打印预览
constexpr int PrintPages = 16401;   // 打印页数:
constexpr int PrintPreview = 16402; // 预览
constexpr int PrintText = 16403;    // 文本
constexpr int Print = 16404;        // 打印

// Print preview: PDF export, page buttons and the curve pages' figures.
constexpr int PrintExportPdf = 16405;   // 导出PDF
constexpr int PrintPdfFilter = 16406;   // PDF 文件 (*.pdf)
constexpr int PrintFirstPage = 16407;   // 首页
constexpr int PrintLastPage = 16408;    // 末页
constexpr int PrintMkt = 16409;         // 动力学温度 %1 (beside a channel's average on curve pages)
constexpr int PrintPreviewArea = 16410; // 页面预览 (the preview frame, to assistive technology)
constexpr int PrintPdfSaved = 16411;    // 已导出 %1
constexpr int PrintMorePages = 16412;   // 增加页数 (the page-count spin's up arrow)
constexpr int PrintFewerPages = 16413;  // 减少页数 (its down arrow)

// Message views.
constexpr int MsgClear = 17300; // 清空
constexpr int MsgMonth = 17301; // 历史消息时间选择:

// Login dialog and user view.
constexpr int UserAdministrator = 128;   // "管理员"
constexpr int UserOrdinaryUser = 129;    // "普通用户"
constexpr int UserWrongPassword = 131;   // "密码错误"
constexpr int UserName = 211;            // "用户名称"
constexpr int UserFileDamaged = 216;     // "错误:文件损坏user.ruf"
constexpr int UserConfirmWrong = 217;    // "密码确认错误"
constexpr int UserEnterName = 218;       // "请输入名称"
constexpr int UserNameExists = 219;      // "用户名已存在"
constexpr int UserTooShort = 220;        // "密码太短"
constexpr int UserChooseType = 221;      // "请选择用户类型"
constexpr int UserCreated = 222;         // "成功创建用户"
constexpr int UserOldWrong = 223;        // "原密码错误"
constexpr int UserPasswordChanged = 224; // "密码更改成功"
constexpr int UserType = 225;            // "用户类型"
constexpr int UserDeleted = 227;         // "成功删除用户"
constexpr int UserCannotDelete = 232;    // "不能删除用户"
constexpr int UserReallyDelete = 233;    // "确定删除用户吗？"
// Captions of the dialogs.
constexpr int UserTitle = 17200;
constexpr int UserNameLabel = 17201;
constexpr int UserPasswordLabel = 17202;
constexpr int UserOk = 17203;
constexpr int UserCancel = 17204;
constexpr int UserCurrentUser = 17205;
constexpr int UserCurrentType = 17206;
constexpr int UserChangeGroup = 17207;
constexpr int UserOldPassword = 17208;
constexpr int UserNewPassword = 17209;
constexpr int UserConfirmPassword = 17210;
constexpr int UserChangeButton = 17211;
constexpr int UserAddGroup = 17212;
constexpr int UserNewName = 17213;
constexpr int UserAddButton = 17214;
constexpr int UserDeleteButton = 17215;
constexpr int UserListGroup = 17216;
constexpr int UserTypeLabel = 17217;
// Texts of the program's own.
constexpr int UserWriteFailed = 20500; // the user file could not be written
constexpr int UserNameTooLong = 20501; // the name does not fit the 50 bytes of a record

// Type words and prefixes of the message log, shared by the link, the event handling and the main window.
constexpr int WordAlarm = 414;    // 警告
constexpr int WordSet = 415;      // 设置
constexpr int WordConnect = 416;  // 连接
constexpr int WordGet = 417;      // 获取
constexpr int WordDownload = 419; // 下载
constexpr int WordSystem = 425;   // 系统
constexpr int Ch1Data = 429;      // 通道1数据：
constexpr int Ch2Data = 430;      // 通道2数据：
constexpr int WordPreAlarm = 484; // 预警
// The link's status line and message-log texts (numbered texts of the system).
constexpr int LinkReceive = 411;         // 接收到
constexpr int LinkGet = 406;             // 获取
constexpr int LinkSet = 407;             // 设置
constexpr int LinkDownload = 408;        // 下载
constexpr int LinkDone = 410;            // 操作完成
constexpr int LinkRunInfoReceiver = 234; // 运行信息
constexpr int LinkRunInfoNode = 235;     // 运行信息
constexpr int LinkRealTime = 236;        // 即时数据
constexpr int LinkStartState = 237;      // 启动状态
constexpr int LinkStopLog = 238;         // 停止记录
constexpr int LinkRtState = 239;         // 即时数据状态
constexpr int LinkLogInfo = 240;         // 运行记录信息
constexpr int LinkLogData = 241;         // 记录数据
constexpr int LinkAlarmInfo = 242;       // 报警信息
constexpr int LinkStartTime = 161;       // 启动时间
constexpr int LinkLogInterval = 162;     // 记录间隔
constexpr int LinkCh1Alarm = 163;        // 通道1报警
constexpr int LinkCh2Alarm = 164;        // 通道2报警
constexpr int LinkAlarmOn = 231;         // 启动报警
constexpr int LinkAlarmOff = 249;        // 不报警
constexpr int LinkTimeRange = 250;       // 时间范围
constexpr int LinkAllNew = 251;          // 所有未下载数据
constexpr int LinkInterval = 135;        // 间隔
constexpr int LinkInterrupted = 405;     // 中断
constexpr int LinkNotFinished = 435;     // 未完成
constexpr int LinkScan = 481;            // 扫描
constexpr int LinkScanFinished = 482;    // 网络扫描结束
constexpr int LinkScanRunning = 483;     // 正在进行网络扫描
constexpr int LinkSelfCheck = 461;       // 接收器自检
constexpr int LinkLockGprs = 462;        // 锁定GPRS信息
constexpr int LinkConnectionLost = 457;  // 连接断开
constexpr int LinkCh1Fault = 431;        // 通道1传感器器异常
constexpr int LinkCh2Fault = 432;        // 通道2传感器器异常
constexpr int LinkGprsFault = 433;       // GPRS异常
constexpr int LinkRadioFault = 434;      // 无线信号异常
constexpr int ConnectedToPort = 269;     // 连接到端口
constexpr int Connecting = 456;          // 正在连接．．．
constexpr int NoNodeConnected = 294;     // 未有仪器连接到电脑
constexpr int OpenedDatabase = 448;      // 打开数据库
constexpr int FirstTypeName = 117;       // 终端接收器 .. 未知设备 (122)
// Robustness of the stores.
constexpr int DatabaseBusy = 23800;  // 数据库正忙:另一个程序正在写入。请稍后再试。
constexpr int DamagedRecord = 23801; // 记录已损坏:数据段循环相连,无法读取数据。

// Curve plot pages.
constexpr int CurveCh1Unit = 158;    // 通道1单位:
constexpr int CurveCh2Unit = 159;    // 通道2单位:
constexpr int CurveChannel1 = 23200; // 通道1
constexpr int CurveChannel2 = 23201; // 通道2
constexpr int CurveSlider = 23202;   // 起始数据
constexpr int CurveReadOut1 = 23203; // 通道1光标读数
constexpr int CurveReadOut2 = 23204; // 通道2光标读数
constexpr int CurvePicture = 23205;  // 曲线图
constexpr int CurveSwatch1 = 23206;  // 通道1图例
constexpr int CurveSwatch2 = 23207;  // 通道2图例

// History summary figures, workbook and CSV export.
constexpr int HistCh1Mkt = 23400;        // 通道1平均动力学温度
constexpr int HistCh2Mkt = 23401;        // 通道2平均动力学温度
constexpr int HistCh1Above = 23402;      // 通道1高于上限时间
constexpr int HistCh1Below = 23403;      // 通道1低于下限时间
constexpr int HistCh2Above = 23404;      // 通道2高于上限时间
constexpr int HistCh2Below = 23405;      // 通道2低于下限时间
constexpr int HistSamplesSpan = 23406;   // %1 (%2 个数据)
constexpr int CsvFilter = 23407;         // CSV (*.csv)
constexpr int ExportNoData = 23408;      // 没有可导出的数据。
constexpr int ExportSheetExists = 23409; // 工作簿中已有工作表“%1”……
constexpr int ExportUnreadable = 23410;  // 无法读取工作簿 %1 ……
constexpr int ExportWriteFailed = 23411; // 无法写入文件 %1：%2
constexpr int ExportTooLarge = 23412;    // 工作簿过大……
constexpr int HistRecordList = 24500;    // 记录列表 (the record list, to assistive technology)

// Home folder and serial-port permission.
constexpr int HomeFolderUnusable = 24000;    // The data folder %1 cannot be used: %2
constexpr int PortDeniedGroup = 24001;       // No permission to open the port %1 ... group "%2": join it ...
constexpr int PortDenied = 24002;            // No permission to open the port %1 (no owner group known)
constexpr int PortDeniedStatusGroup = 24003; // Port %1: no permission (group %2)
constexpr int PortDeniedStatus = 24004;      // Port %1: no permission

// Instrument management: dialogs and command-line refusals.
constexpr int MgrBadAddress = 23100;  // 固有ID必须是16位小写十六进制数字
constexpr int MgrNameTooLong = 23101; // 名称过长
constexpr int MgrNoSuchNode = 23102;  // 未找到设备
constexpr int MgrNameEmpty = 23103;   // 名称不能为空

} // namespace Sid
