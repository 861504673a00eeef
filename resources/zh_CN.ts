<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
    <context>
        <name>ATDatabase</name>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>The audit trail could not be written: </source>
            <translation>审计追踪无法写入: </translation>
        </message>
        <message>
            <source>The audit trail store is damaged; no audit event is written into it until it is repaired or replaced.</source>
            <translation>审计追踪数据库已损坏；修复或更换之前不再向其写入任何审计事件。</translation>
        </message>
    </context>
    <context>
        <name>AuditTrailExport</name>
        <message>
            <source>  Find</source>
            <translation>  查找</translation>
        </message>
        <message>
            <source> from </source>
            <translation> 从 </translation>
        </message>
        <message>
            <source> to</source>
            <translation> 到</translation>
        </message>
        <message>
            <source> now,</source>
            <translation> 现在,</translation>
        </message>
        <message>
            <source> handler is </source>
            <translation> 处理人为 </translation>
        </message>
        <message>
            <source> ,</source>
            <translation> ,</translation>
        </message>
        <message>
            <source> total </source>
            <translation> 共 </translation>
        </message>
        <message>
            <source> pieces of data.</source>
            <translation> 条数据。</translation>
        </message>
        <message>
            <source>Tips</source>
            <translation>提示</translation>
        </message>
        <message>
            <source>Exoport success!</source>
            <translation>导出成功!</translation>
        </message>
        <message>
            <source>Export failed. Please close pdf first</source>
            <translation>导出失败,请先关闭pdf文件</translation>
        </message>
        <message>
            <source>Audit Trail Export</source>
            <translation>审计追踪导出</translation>
        </message>
        <message>
            <source>Tips: It is recommended to export a maximum of 4000 pieces of data, otherwise you will wait for a long time</source>
            <translation>提示: 建议最多导出4000条数据,否则需要等待较长时间</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
    </context>
    <context>
        <name>CaptureComboBox</name>
        <message>
            <source>Ms</source>
            <translation>毫秒</translation>
        </message>
        <message>
            <source>S</source>
            <translation>秒</translation>
        </message>
        <message>
            <source>M</source>
            <translation>分</translation>
        </message>
    </context>
    <context>
        <name>CaptureImagePathSettingDialog</name>
        <message>
            <source>Select folder</source>
            <translation>选择文件夹</translation>
        </message>
        <message>
            <source>Confirm</source>
            <translation>确认</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Image Save Path:</source>
            <translation>图片保存路径：</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>确定</translation>
        </message>
    </context>
    <context>
        <name>CaptureProgressDialog</name>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>CheckLoginDialog</name>
        <message>
            <source>Electronic Signature</source>
            <translation>电子签名</translation>
        </message>
        <message>
            <source>UserName</source>
            <translation>用户名</translation>
        </message>
        <message>
            <source>Password</source>
            <translation>密码</translation>
        </message>
        <message>
            <source>Password Error</source>
            <translation>密码错误</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>确定</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>CrumbBar</name>
        <message>
            <source>Setting</source>
            <translation>设置</translation>
        </message>
    </context>
    <context>
        <name>CustomMessageDialog</name>
        <message>
            <source>Yes</source>
            <translation>是</translation>
        </message>
        <message>
            <source>No</source>
            <translation>否</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>确定</translation>
        </message>
    </context>
    <context>
        <name>DeviceSettingPage</name>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Set light auto shutdown success!</source>
            <translation>设置光源自动关闭成功！</translation>
        </message>
        <message>
            <source>Select folder (Confirm the path after entering the folder)</source>
            <translation>选择文件夹（进入文件夹后确认路径）</translation>
        </message>
        <message>
            <source>Confirm</source>
            <translation>确认</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Device Setting</source>
            <translation>设备设置</translation>
        </message>
        <message>
            <source>Language</source>
            <translation>语言</translation>
        </message>
        <message>
            <source>Change Image Path Every Login</source>
            <translation>每次登录修改图片路径</translation>
        </message>
        <message>
            <source>Image Save Path</source>
            <translation>图片保存路径</translation>
        </message>
        <message>
            <source>Image Clean</source>
            <translation>图像清理</translation>
        </message>
        <message>
            <source>Days</source>
            <translation>天</translation>
        </message>
        <message>
            <source>Light Auto Shutdown</source>
            <translation>光源自动关闭</translation>
        </message>
        <message>
            <source>Minutes</source>
            <translation>分钟</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>确定</translation>
        </message>
        <message>
            <source>Auto Capture On Close</source>
            <translation>关门自动采集</translation>
        </message>
        <message>
            <source>Electronic Signature</source>
            <translation>电子签名</translation>
        </message>
        <message>
            <source>Af Offset</source>
            <translation>自动对焦偏移</translation>
        </message>
        <message>
            <source>Auto Keyboard</source>
            <translation>自动键盘</translation>
        </message>
        <message>
            <source>Export Watermark</source>
            <translation>导出水印</translation>
        </message>
        <message>
            <source>Beautify Pictures</source>
            <translation>图片优化</translation>
        </message>
    </context>
    <context>
        <name>DocumentTitlePage</name>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Save success!</source>
            <translation>保存成功！</translation>
        </message>
        <message>
            <source>Document Title</source>
            <translation>文档标题</translation>
        </message>
        <message>
            <source>Main Title</source>
            <translation>主标题</translation>
        </message>
        <message>
            <source>Sub Title</source>
            <translation>副标题</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>EngineerPage</name>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>Password error!</source>
            <translation>密码错误！</translation>
        </message>
        <message>
            <source>Input error!</source>
            <translation>输入错误！</translation>
        </message>
        <message>
            <source>Out of range!</source>
            <translation>超出范围！</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
        <message>
            <source>Engineer Interface</source>
            <translation>工程师界面</translation>
        </message>
        <message>
            <source>Engineer Password: </source>
            <translation>工程师密码：</translation>
        </message>
        <message>
            <source>Engineer password</source>
            <translation>工程师密码</translation>
        </message>
        <message>
            <source>Comfirm</source>
            <translation>确认</translation>
        </message>
        <message>
            <source>Gel Range Setting: </source>
            <translation>凝胶范围设置：</translation>
        </message>
        <message>
            <source>Effective after restart </source>
            <translation>重启后生效 </translation>
        </message>
        <message>
            <source>X Offset: </source>
            <translation>X偏移：</translation>
        </message>
        <message>
            <source>gel X</source>
            <translation>凝胶X</translation>
        </message>
        <message>
            <source>Y Offset: </source>
            <translation>Y偏移：</translation>
        </message>
        <message>
            <source>gel Y</source>
            <translation>凝胶Y</translation>
        </message>
        <message>
            <source>Width Offset: </source>
            <translation>宽度偏移：</translation>
        </message>
        <message>
            <source>gel Width</source>
            <translation>凝胶宽</translation>
        </message>
        <message>
            <source>Heigh Offset: </source>
            <translation>高度偏移：</translation>
        </message>
        <message>
            <source>gel Heigh</source>
            <translation>凝胶高</translation>
        </message>
        <message>
            <source>WB Range Setting: </source>
            <translation>WB范围设置：</translation>
        </message>
        <message>
            <source>WB X</source>
            <translation>WB X</translation>
        </message>
        <message>
            <source>WB Y</source>
            <translation>WB Y</translation>
        </message>
        <message>
            <source>WB Width</source>
            <translation>WB宽</translation>
        </message>
        <message>
            <source>WB Heigh</source>
            <translation>WB高</translation>
        </message>
        <message>
            <source>Flu Range Setting: </source>
            <translation>荧光范围设置：</translation>
        </message>
        <message>
            <source>Flu X</source>
            <translation>荧光X</translation>
        </message>
        <message>
            <source>Flu Y</source>
            <translation>荧光Y</translation>
        </message>
        <message>
            <source>Flu Width</source>
            <translation>荧光宽</translation>
        </message>
        <message>
            <source>Flu Heigh</source>
            <translation>荧光高</translation>
        </message>
        <message>
            <source>Focus Setting: </source>
            <translation>焦距设置：</translation>
        </message>
        <message>
            <source>Effective after exist </source>
            <translation>退出后生效 </translation>
        </message>
        <message>
            <source>Gel Focus: </source>
            <translation>凝胶焦距：</translation>
        </message>
        <message>
            <source>Gel Focus</source>
            <translation>凝胶焦距</translation>
        </message>
        <message>
            <source>WB Up Focus: </source>
            <translation>WB上焦距：</translation>
        </message>
        <message>
            <source>WB Up Focus</source>
            <translation>WB上焦距</translation>
        </message>
        <message>
            <source>WB Down Focus: </source>
            <translation>WB下焦距：</translation>
        </message>
        <message>
            <source>WB Down Focus</source>
            <translation>WB下焦距</translation>
        </message>
        <message>
            <source>Mul Focus: </source>
            <translation>多色焦距：</translation>
        </message>
        <message>
            <source>Mul Focus</source>
            <translation>多色焦距</translation>
        </message>
        <message>
            <source>Target Gray Setting: </source>
            <translation>目标灰度设置：</translation>
        </message>
        <message>
            <source>Default 100, Range 50-200, The higher value, the longer estimated time</source>
            <translation>默认100，范围50-200，数值越大，预估时间越长</translation>
        </message>
        <message>
            <source>Average Gray Thd Setting: </source>
            <translation>平均灰度阈值设置：</translation>
        </message>
        <message>
            <source>Default 5. Range 1-500, The higher value, the lighter preview exposure</source>
            <translation>默认5，范围1-500，数值越大，预览曝光越亮</translation>
        </message>
        <message>
            <source>Color Marker Setting: </source>
            <translation>彩色Marker设置：</translation>
        </message>
    </context>
    <context>
        <name>ExportProcessDialog</name>
        <message>
            <source>Exporting...</source>
            <translation>导出中...</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>GelCapturePage</name>
        <message>
            <source>Gel Capture</source>
            <translation>凝胶采集</translation>
        </message>
        <message>
            <source>White</source>
            <translation>白光</translation>
        </message>
        <message>
            <source>Blue470</source>
            <translation>蓝光470</translation>
        </message>
        <message>
            <source>No Filter</source>
            <translation>无滤光片</translation>
        </message>
        <message>
            <source>535nm Filter</source>
            <translation>535nm</translation>
        </message>
        <message>
            <source>590nm Filter</source>
            <translation>590nm</translation>
        </message>
        <message>
            <source>605nm Filter</source>
            <translation>605nm</translation>
        </message>
        <message>
            <source>700nm Filter</source>
            <translation>700nm</translation>
        </message>
        <message>
            <source>840nm Filter</source>
            <translation>840nm</translation>
        </message>
        <message>
            <source>Camera Setting...</source>
            <translation>相机设置中...</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Focusing...</source>
            <translation>聚焦中...</translation>
        </message>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
        <message>
            <source>The flat field calibration does not fit the current picture: flat field correction turned off. Please calibrate again.</source>
            <translation>平场校准数据与当前图像不匹配，平场校正已关闭，请重新校准。</translation>
        </message>
        <message>
            <source>The cabinet did not answer the lens command.</source>
            <translation>机箱未应答镜头指令。</translation>
        </message>
    </context>
    <context>
        <name>GelImagesPage</name>
        <message>
            <source>Gel Images</source>
            <translation>凝胶图像</translation>
        </message>
    </context>
    <context>
        <name>GroupManagementPage</name>
        <message>
            <source>Group Manage</source>
            <translation>组管理</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Group Name has been used By account!</source>
            <translation>该组已被账户使用!</translation>
        </message>
        <message>
            <source>Group Name can't be empty!</source>
            <translation>组名不能为空!</translation>
        </message>
        <message>
            <source>Group Name already exists!</source>
            <translation>组名已存在!</translation>
        </message>
        <message>
            <source>New</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Detail</source>
            <translation>详情</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <source>Group Name</source>
            <translation>组名</translation>
        </message>
        <message>
            <source>Create Time</source>
            <translation>创建时间</translation>
        </message>
        <message>
            <source>Group Member</source>
            <translation>组成员</translation>
        </message>
        <message>
            <source>User Name</source>
            <translation>用户名</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>姓名</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>Guard</name>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Permission denied!</source>
            <translation>权限不足!</translation>
        </message>
    </context>
    <context>
        <name>IC_AuditTrailPage</name>
        <message>
            <source>Id</source>
            <translation>序号</translation>
        </message>
        <message>
            <source>Module</source>
            <translation>模块</translation>
        </message>
        <message>
            <source>Content</source>
            <translation>内容</translation>
        </message>
        <message>
            <source>Handler</source>
            <translation>处理人</translation>
        </message>
        <message>
            <source>OperatingTime</source>
            <translation>操作时间</translation>
        </message>
        <message>
            <source>Search time:</source>
            <translation>搜索时间:</translation>
        </message>
        <message>
            <source>StartTime</source>
            <translation>开始时间</translation>
        </message>
        <message>
            <source>to</source>
            <translation>至</translation>
        </message>
        <message>
            <source>EndTime</source>
            <translation>结束时间</translation>
        </message>
        <message>
            <source>Search</source>
            <translation>搜索</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
        <message>
            <source>Total </source>
            <translation>共 </translation>
        </message>
        <message>
            <source> pages </source>
            <translation> 页 </translation>
        </message>
        <message>
            <source>Turn</source>
            <translation>跳转</translation>
        </message>
    </context>
    <context>
        <name>IC_HeadPage</name>
        <message>
            <source>Home</source>
            <translation>首页</translation>
        </message>
        <message>
            <source>Image</source>
            <translation>图像</translation>
        </message>
        <message>
            <source>AuditTrail</source>
            <translation>审计追踪</translation>
        </message>
        <message>
            <source>Setting</source>
            <translation>设置</translation>
        </message>
        <message>
            <source>Capture</source>
            <translation>采集</translation>
        </message>
        <message>
            <source>Images</source>
            <translation>图像</translation>
        </message>
        <message>
            <source>Gel Images</source>
            <translation>凝胶图像</translation>
        </message>
        <message>
            <source>WB Images</source>
            <translation>WB图像</translation>
        </message>
        <message>
            <source>Flu Images</source>
            <translation>荧光图像</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Logout</source>
            <translation>注销</translation>
        </message>
        <message>
            <source>Confirm logout?</source>
            <translation>确认注销？</translation>
        </message>
        <message>
            <source>Exit</source>
            <translation>退出</translation>
        </message>
        <message>
            <source>Confirm exit?</source>
            <translation>确认退出？</translation>
        </message>
        <message>
            <source>The cabinet did not answer the door command.</source>
            <translation>机箱未应答门锁指令。</translation>
        </message>
    </context>
    <context>
        <name>IC_MainControl</name>
        <message>
            <source>Yes To All</source>
            <translation>全部是</translation>
        </message>
        <message>
            <source>Yes</source>
            <translation>是</translation>
        </message>
        <message>
            <source>No</source>
            <translation>否</translation>
        </message>
        <message>
            <source>The file "</source>
            <translation>文件 "</translation>
        </message>
        <message>
            <source>" already exists. Do you want to overwrite it?</source>
            <translation>" 已存在。是否覆盖？</translation>
        </message>
        <message>
            <source>Audit Trail Records</source>
            <translation>审计追踪记录</translation>
        </message>
        <message>
            <source>Applicant: </source>
            <translation>申请人:</translation>
        </message>
        <message>
            <source>  Export Time: </source>
            <translation>  导出时间: </translation>
        </message>
        <message>
            <source>id</source>
            <translation>id</translation>
        </message>
        <message>
            <source>module</source>
            <translation>模块</translation>
        </message>
        <message>
            <source>content</source>
            <translation>内容</translation>
        </message>
        <message>
            <source>handler</source>
            <translation>处理人</translation>
        </message>
        <message>
            <source>operateTime</source>
            <translation>操作时间</translation>
        </message>
        <message>
            <source>Select Color</source>
            <translation>选择颜色</translation>
        </message>
    </context>
    <context>
        <name>IC_SettingPage</name>
        <message>
            <source>Device Setting</source>
            <translation>设备设置</translation>
        </message>
        <message>
            <source>Document Title</source>
            <translation>文档标题</translation>
        </message>
        <message>
            <source>User Manage</source>
            <translation>用户管理</translation>
        </message>
        <message>
            <source>Group Manage</source>
            <translation>组管理</translation>
        </message>
        <message>
            <source>Authority Manage</source>
            <translation>权限管理</translation>
        </message>
        <message>
            <source>System Info</source>
            <translation>系统信息</translation>
        </message>
        <message>
            <source>Engineer Interface</source>
            <translation>工程师界面</translation>
        </message>
    </context>
    <context>
        <name>LoadingDialog</name>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Cancelling...</source>
            <translation>取消中...</translation>
        </message>
        <message>
            <source>Auto Exposuring...</source>
            <translation>自动曝光中...</translation>
        </message>
        <message>
            <source>Auto Focusing...</source>
            <translation>自动对焦中...</translation>
        </message>
        <message>
            <source>Camera Cooling...</source>
            <translation>相机降温中...</translation>
        </message>
    </context>
    <context>
        <name>LoginPage</name>
        <message>
            <source>Login</source>
            <translation>登录</translation>
        </message>
        <message>
            <source>System Initializing...</source>
            <translation>系统初始化中...</translation>
        </message>
        <message>
            <source>MachineErr!</source>
            <translation>机型错误!</translation>
        </message>
        <message>
            <source>SerialPortErr!</source>
            <translation>串口错误!</translation>
        </message>
        <message>
            <source>CommunicateErr!</source>
            <translation>通信错误!</translation>
        </message>
        <message>
            <source>SendErr!</source>
            <translation>发送错误!</translation>
        </message>
        <message>
            <source>HandShakeErr!</source>
            <translation>握手错误!</translation>
        </message>
        <message>
            <source>CameraErr!</source>
            <translation>相机错误!</translation>
        </message>
        <message>
            <source>The picture could not be saved; the capture has ended.</source>
            <translation>图片无法保存，采集已结束。</translation>
        </message>
        <message>
            <source>The experiment could not be recorded.</source>
            <translation>实验无法记录。</translation>
        </message>
        <message>
            <source>WPS UnInstall!</source>
            <translation>未安装WPS!</translation>
        </message>
        <message>
            <source>LenErr!</source>
            <translation>镜头错误!</translation>
        </message>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>The role of this user does not exist, so no rights are granted.</source>
            <translation>该用户的角色不存在,未授予任何权限。</translation>
        </message>
        <message>
            <source>Password</source>
            <translation>密码</translation>
        </message>
        <message>
            <source>Remember</source>
            <translation>记住</translation>
        </message>
        <message>
            <source>Password Error</source>
            <translation>密码错误</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>MultiFluorescenceCapturePage</name>
        <message>
            <source>Multi-Fluorescence Capture</source>
            <translation>多色荧光采集</translation>
        </message>
        <message>
            <source>White</source>
            <translation>白光</translation>
        </message>
        <message>
            <source>No Filter</source>
            <translation>无滤光片</translation>
        </message>
        <message>
            <source>535nm Filter</source>
            <translation>535nm</translation>
        </message>
        <message>
            <source>590nm Filter</source>
            <translation>590nm</translation>
        </message>
        <message>
            <source>605nm Filter</source>
            <translation>605nm</translation>
        </message>
        <message>
            <source>700nm Filter</source>
            <translation>700nm</translation>
        </message>
        <message>
            <source>715nm Filter</source>
            <translation>715nm</translation>
        </message>
        <message>
            <source>810nm Filter</source>
            <translation>810nm</translation>
        </message>
        <message>
            <source>840nm Filter</source>
            <translation>840nm</translation>
        </message>
        <message>
            <source>Camera Setting...</source>
            <translation>相机设置中...</translation>
        </message>
        <message>
            <source>Filter Switching...</source>
            <translation>滤光片切换中...</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Temperature too high, light turned off!</source>
            <translation>温度过高，光源已关闭！</translation>
        </message>
        <message>
            <source>Focusing...</source>
            <translation>聚焦中...</translation>
        </message>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
        <message>
            <source>The cabinet did not answer the filter command.</source>
            <translation>机箱未应答滤光轮指令。</translation>
        </message>
        <message>
            <source>The cabinet did not answer the lens command.</source>
            <translation>机箱未应答镜头指令。</translation>
        </message>
        <message>
            <source>The cabinet did not answer the light command.</source>
            <translation>机箱未应答灯光指令。</translation>
        </message>
    </context>
    <context>
        <name>MultiFluorescenceImagesPage</name>
        <message>
            <source>Multi-Fluorescence Images</source>
            <translation>多色荧光图像</translation>
        </message>
    </context>
    <context>
        <name>PendingPage</name>
        <message>
            <source>This page is not built yet.</source>
            <translation>此页面尚未完成。</translation>
        </message>
    </context>
    <context>
        <name>RenameButton</name>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
    </context>
    <context>
        <name>RenameDialog</name>
        <message>
            <source>Name already exists.</source>
            <translation>名称已存在。</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
        <message>
            <source>Name cannot be empty.</source>
            <translation>名称不能为空。</translation>
        </message>
        <message>
            <source>Color Marker image name must contain '_Color'.</source>
            <translation>彩色Marker图片名称必须包含'_Color'。</translation>
        </message>
    </context>
    <context>
        <name>RoleManagementPage</name>
        <message>
            <source>Authority Manage</source>
            <translation>权限管理</translation>
        </message>
        <message>
            <source>Image Capture</source>
            <translation>图像采集</translation>
        </message>
        <message>
            <source>Gel Capture</source>
            <translation>凝胶采集</translation>
        </message>
        <message>
            <source>WB Capture</source>
            <translation>发光采集</translation>
        </message>
        <message>
            <source>Flu Capture</source>
            <translation>荧光采集</translation>
        </message>
        <message>
            <source>Image Management</source>
            <translation>图像管理</translation>
        </message>
        <message>
            <source>Image View</source>
            <translation>图像查看</translation>
        </message>
        <message>
            <source>Rename Experiment</source>
            <translation>实验重命名</translation>
        </message>
        <message>
            <source>Image Detail</source>
            <translation>图像详情</translation>
        </message>
        <message>
            <source>Image Edit</source>
            <translation>图像编辑</translation>
        </message>
        <message>
            <source>Image Export</source>
            <translation>图像导出</translation>
        </message>
        <message>
            <source>Image Delete</source>
            <translation>图像删除</translation>
        </message>
        <message>
            <source>Audit Trail</source>
            <translation>审计追踪</translation>
        </message>
        <message>
            <source>Audit Trail View</source>
            <translation>审计追踪查看</translation>
        </message>
        <message>
            <source>Device Setting</source>
            <translation>设备设置</translation>
        </message>
        <message>
            <source>Language</source>
            <translation>语言</translation>
        </message>
        <message>
            <source>Image Save Path</source>
            <translation>图片保存路径</translation>
        </message>
        <message>
            <source>Image Clean</source>
            <translation>图像清理</translation>
        </message>
        <message>
            <source>Light Auto Shutdown</source>
            <translation>光源自动关闭</translation>
        </message>
        <message>
            <source>Auto Capture On Close</source>
            <translation>关门自动采集</translation>
        </message>
        <message>
            <source>Electornic Signature</source>
            <translation>电子签名</translation>
        </message>
        <message>
            <source>Af Offset</source>
            <translation>自动对焦偏移</translation>
        </message>
        <message>
            <source>Auto Keyboard</source>
            <translation>自动键盘</translation>
        </message>
        <message>
            <source>Document Title</source>
            <translation>文档标题</translation>
        </message>
        <message>
            <source>Document Title Save</source>
            <translation>文档标题保存</translation>
        </message>
        <message>
            <source>User Manage</source>
            <translation>用户管理</translation>
        </message>
        <message>
            <source>New</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <source>Assign Authority </source>
            <translation>分配权限</translation>
        </message>
        <message>
            <source>Audit Trail Export</source>
            <translation>审计追踪导出</translation>
        </message>
        <message>
            <source>Epxort Watermark</source>
            <translation>导出水印</translation>
        </message>
        <message>
            <source>Image Rename</source>
            <translation>图像重命名</translation>
        </message>
        <message>
            <source>Color Marker</source>
            <translation>彩色Marker</translation>
        </message>
        <message>
            <source>Beautify Pictures</source>
            <translation>图片优化</translation>
        </message>
        <message>
            <source>Group Manage</source>
            <translation>组管理</translation>
        </message>
        <message>
            <source>View</source>
            <translation>查看</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Rolename has been used By account!</source>
            <translation>该角色已被账户使用!</translation>
        </message>
        <message>
            <source>Rolename can't be empty!</source>
            <translation>角色名不能为空!</translation>
        </message>
        <message>
            <source>Rolename already exists!</source>
            <translation>角色名已存在!</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Role Name</source>
            <translation>角色名</translation>
        </message>
        <message>
            <source>Update Time</source>
            <translation>更新时间</translation>
        </message>
        <message>
            <source>User Authority</source>
            <translation>用户权限</translation>
        </message>
        <message>
            <source>All</source>
            <translation>全部</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>SystemInfoPage</name>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Open user manual failed, please makesure WPS is installed.</source>
            <translation>打开用户手册失败，请确认已安装WPS。</translation>
        </message>
        <message>
            <source>System Info</source>
            <translation>系统信息</translation>
        </message>
        <message>
            <source>User Manual</source>
            <translation>用户手册</translation>
        </message>
        <message>
            <source>SoftWare Version: </source>
            <translation>软件版本：</translation>
        </message>
    </context>
    <context>
        <name>TimerSelector</name>
        <message>
            <source>Year</source>
            <translation>年</translation>
        </message>
        <message>
            <source>Month</source>
            <translation>月</translation>
        </message>
        <message>
            <source>Day</source>
            <translation>日</translation>
        </message>
        <message>
            <source>Hour</source>
            <translation>时</translation>
        </message>
        <message>
            <source>Min</source>
            <translation>分</translation>
        </message>
        <message>
            <source>Sec</source>
            <translation>秒</translation>
        </message>
        <message>
            <source>Clear</source>
            <translation>清空</translation>
        </message>
        <message>
            <source>Now</source>
            <translation>现在</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>确定</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>UserManagementPage</name>
        <message>
            <source>User Manage</source>
            <translation>用户管理</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Username can't be empty!</source>
            <translation>用户名不能为空!</translation>
        </message>
        <message>
            <source>Username already exists!</source>
            <translation>用户名已存在!</translation>
        </message>
        <message>
            <source>Password can't be empty!</source>
            <translation>密码不能为空!</translation>
        </message>
        <message>
            <source>Name can't be empty!</source>
            <translation>姓名不能为空!</translation>
        </message>
        <message>
            <source>Authority can't be empty!</source>
            <translation>权限不能为空!</translation>
        </message>
        <message>
            <source>Group can't be empty!</source>
            <translation>组不能为空!</translation>
        </message>
        <message>
            <source>New</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>UserName:</source>
            <translation>用户名:</translation>
        </message>
        <message>
            <source>userName</source>
            <translation>用户名</translation>
        </message>
        <message>
            <source>Role:</source>
            <translation>角色:</translation>
        </message>
        <message>
            <source>Group:</source>
            <translation>组:</translation>
        </message>
        <message>
            <source>Search</source>
            <translation>搜索</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <source>User Name</source>
            <translation>用户名</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>姓名</translation>
        </message>
        <message>
            <source>Role</source>
            <translation>角色</translation>
        </message>
        <message>
            <source>Group</source>
            <translation>组</translation>
        </message>
        <message>
            <source>User Name(start with letter)</source>
            <translation>用户名(字母开头)</translation>
        </message>
        <message>
            <source>Password</source>
            <translation>密码</translation>
        </message>
        <message>
            <source>Unchanged</source>
            <translation>不修改</translation>
        </message>
        <message>
            <source>Role Information</source>
            <translation>角色信息</translation>
        </message>
        <message>
            <source>Group Information</source>
            <translation>组信息</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>WesternBlotImagesPage</name>
        <message>
            <source>Western Blot Images</source>
            <translation>化学发光图像</translation>
        </message>
    </context>
    <context>
        <name>YesNoPair</name>
        <message>
            <source>Yes</source>
            <translation>是</translation>
        </message>
        <message>
            <source>No</source>
            <translation>否</translation>
        </message>
    </context>
    <context>
        <name>ImageLibraryPage</name>
        <message>
            <source>The image could not be renamed: %1</source>
            <translation>图像无法重命名：%1</translation>
        </message>
        <message>
            <source>The experiment could not be renamed: %1</source>
            <translation>实验无法重命名：%1</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Loading...</source>
            <translation>加载中...</translation>
        </message>
        <message>
            <source>Please select at least one image!</source>
            <translation>请至少选择一张图片！</translation>
        </message>
        <message>
            <source>Please select less than 300 images!</source>
            <translation>请选择少于300张图片！</translation>
        </message>
        <message>
            <source>Please select one image!</source>
            <translation>请选择一张图片！</translation>
        </message>
        <message>
            <source>Please select two images for merge!</source>
            <translation>请选择两张图片进行合并！</translation>
        </message>
        <message>
            <source>The image of current experiment can't be deleted!</source>
            <translation>当前实验的图片不能删除！</translation>
        </message>
        <message>
            <source>Image files are also deleted and cannot be restored, confirm delete?</source>
            <translation>图片文件也将被删除且无法恢复，确认删除？</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>Export failed: %1 of %2 images could not be written:</source>
            <translation>导出失败: %2 张图像中有 %1 张无法写入:</translation>
        </message>
        <message>
            <source>The image-analysis program is missing or could not be started.</source>
            <translation>图像分析程序缺失或无法启动。</translation>
        </message>
    </context>
    <context>
        <name>LibraryToolBar</name>
        <message>
            <source>User name</source>
            <translation>用户名</translation>
        </message>
        <message>
            <source>Experiment name</source>
            <translation>实验名称</translation>
        </message>
        <message>
            <source>Date</source>
            <translation>日期</translation>
        </message>
        <message>
            <source>to</source>
            <translation>至</translation>
        </message>
        <message>
            <source>Search</source>
            <translation>搜索</translation>
        </message>
        <message>
            <source>All</source>
            <translation>全选</translation>
        </message>
        <message>
            <source>Fold</source>
            <translation>折叠</translation>
        </message>
        <message>
            <source>Selected: </source>
            <translation>已选: </translation>
        </message>
        <message>
            <source>Merge</source>
            <translation>合并</translation>
        </message>
        <message>
            <source>Detail</source>
            <translation>详情</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Rename</source>
            <translation>重命名</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
    </context>
    <context>
        <name>LibraryList</name>
        <message>
            <source>Selected: </source>
            <translation>已选: </translation>
        </message>
        <message>
            <source>Rename</source>
            <translation>重命名</translation>
        </message>
        <message>
            <source>Hide</source>
            <translation>隐藏</translation>
        </message>
        <message>
            <source>Show</source>
            <translation>显示</translation>
        </message>
        <message>
            <source> images</source>
            <translation> 张图片</translation>
        </message>
        <message>
            <source>No image</source>
            <translation>无图片</translation>
        </message>
        <message>
            <source>No images in this period.</source>
            <translation>该时间段内没有图片。</translation>
        </message>
    </context>
    <context>
        <name>ImageDetailView</name>
        <message>
            <source>This picture cannot be shown: its file is missing, damaged or too large.</source>
            <translation>无法显示该图片：文件缺失、已损坏或过大。</translation>
        </message>
        <message>
            <source>The image could not be renamed: %1</source>
            <translation>图像无法重命名：%1</translation>
        </message>
        <message>
            <source>Generate success!</source>
            <translation>生成成功！</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
        <message>
            <source>Merge success!</source>
            <translation>合并成功！</translation>
        </message>
        <message>
            <source>Export failed: %1 could not be written.</source>
            <translation>导出失败: %1 无法写入。</translation>
        </message>
        <message>
            <source>The image could not be generated!</source>
            <translation>图像无法生成！</translation>
        </message>
    </context>
    <context>
        <name>ImageDetailBar</name>
        <message>
            <source>Path: </source>
            <translation>路径: </translation>
        </message>
        <message>
            <source>Name: </source>
            <translation>名称: </translation>
        </message>
        <message>
            <source>Fit</source>
            <translation>适应</translation>
        </message>
    </context>
    <context>
        <name>ImageDetailPanel</name>
        <message>
            <source>Resolution/Sensitivity</source>
            <translation>分辨率/灵敏度</translation>
        </message>
        <message>
            <source>Binning</source>
            <translation>像素合并</translation>
        </message>
        <message>
            <source>Exposure(ms)</source>
            <translation>曝光时间(ms)</translation>
        </message>
        <message>
            <source>Gain</source>
            <translation>增益</translation>
        </message>
        <message>
            <source>Raw</source>
            <translation>原始</translation>
        </message>
        <message>
            <source>Auto</source>
            <translation>自动</translation>
        </message>
        <message>
            <source>Beautify Level:</source>
            <translation>美化等级:</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Gen</source>
            <translation>生成</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
        <message>
            <source>Rename</source>
            <translation>重命名</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>关闭</translation>
        </message>
    </context>
    <context>
        <name>DetailImageItem</name>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>Incorrect picture type</source>
            <translation>图片类型不正确</translation>
        </message>
        <message>
            <source>Inconsistent picture size</source>
            <translation>图片尺寸不一致</translation>
        </message>
    </context>
    <context>
        <name>ExportWPSThread</name>
        <message>
            <source>User:</source>
            <translation>用户：</translation>
        </message>
        <message>
            <source>ReportDate:</source>
            <translation>报告日期：</translation>
        </message>
    </context>
    <context>
        <name>ExportDialog</name>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
        <message>
            <source>File</source>
            <translation>文件</translation>
        </message>
        <message>
            <source>Document</source>
            <translation>文档</translation>
        </message>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>Export failed: %1 could not be written.</source>
            <translation>导出失败: %1 无法写入。</translation>
        </message>
    </context>
    <context>
        <name>ExportFileListThread</name>
        <message>
            <source>Resolution/Sensitivity: </source>
            <translation>分辨率/灵敏度: </translation>
        </message>
        <message>
            <source>Exposure: </source>
            <translation>曝光: </translation>
        </message>
        <message>
            <source>Gain: </source>
            <translation>增益: </translation>
        </message>
    </context>
    <context>
        <name>AdaptBlueDialog</name>
        <message>
            <source>Blue</source>
            <translation>蓝光</translation>
        </message>
    </context>
    <context>
        <name>FocusSettingDialog</name>
        <message>
            <source>Auto</source>
            <translation>自动</translation>
        </message>
        <message>
            <source>Manual</source>
            <translation>手动</translation>
        </message>
        <message>
            <source>Focus:</source>
            <translation>焦距:</translation>
        </message>
        <message>
            <source>AF</source>
            <translation>自动对焦</translation>
        </message>
    </context>
    <context>
        <name>ExposureSettingDialog</name>
        <message>
            <source>Auto</source>
            <translation>自动</translation>
        </message>
        <message>
            <source>Manual</source>
            <translation>手动</translation>
        </message>
        <message>
            <source>AE</source>
            <translation>自动曝光</translation>
        </message>
        <message>
            <source>Mode</source>
            <translation>模式</translation>
        </message>
        <message>
            <source>Hi res</source>
            <translation>高分辨率</translation>
        </message>
        <message>
            <source>Standard</source>
            <translation>标准</translation>
        </message>
        <message>
            <source>Exposure</source>
            <translation>曝光</translation>
        </message>
        <message>
            <source>Ms</source>
            <translation>毫秒</translation>
        </message>
        <message>
            <source>Gain</source>
            <translation>增益</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
    </context>
    <context>
        <name>MoreSettingFrame</name>
        <message>
            <source>More Setting</source>
            <translation>更多设置</translation>
        </message>
        <message>
            <source>Filter</source>
            <translation>滤光片</translation>
        </message>
        <message>
            <source>Auto Match Filter</source>
            <translation>自动匹配滤光片</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>GelMoreSettingDialog</name>
        <message>
            <source>White Light</source>
            <translation>白光</translation>
        </message>
        <message>
            <source>UV302</source>
            <translation>UV302</translation>
        </message>
        <message>
            <source>UV254</source>
            <translation>UV254</translation>
        </message>
        <message>
            <source>UV365</source>
            <translation>UV365</translation>
        </message>
        <message>
            <source>Blue470</source>
            <translation>蓝光470</translation>
        </message>
    </context>
    <context>
        <name>MultMoreSettingDialog</name>
        <message>
            <source>White Light</source>
            <translation>白光</translation>
        </message>
        <message>
            <source>R625nm</source>
            <translation>红光625</translation>
        </message>
        <message>
            <source>G520nm</source>
            <translation>绿光520</translation>
        </message>
        <message>
            <source>B470nm</source>
            <translation>蓝光470</translation>
        </message>
        <message>
            <source>IR660nm</source>
            <translation>近红外660</translation>
        </message>
        <message>
            <source>IR740nm</source>
            <translation>近红外740</translation>
        </message>
    </context>
    <context>
        <name>GelCaptureView</name>
        <message>
            <source>Cut</source>
            <translation>裁切</translation>
        </message>
        <message>
            <source>Light</source>
            <translation>光源</translation>
        </message>
        <message>
            <source>More Setting</source>
            <translation>更多设置</translation>
        </message>
        <message>
            <source>Exposure (Auto)</source>
            <translation>曝光（自动）</translation>
        </message>
        <message>
            <source>Exposure (Manual)</source>
            <translation>曝光（手动）</translation>
        </message>
        <message>
            <source>Focus (Auto)</source>
            <translation>聚焦（自动）</translation>
        </message>
        <message>
            <source>Focus (Manual)</source>
            <translation>聚焦（手动）</translation>
        </message>
        <message>
            <source>AF</source>
            <translation>自动对焦</translation>
        </message>
        <message>
            <source>Color</source>
            <translation>彩色</translation>
        </message>
        <message>
            <source>Color shooting requires an additional 20s.</source>
            <translation>彩色拍摄需要额外20秒。</translation>
        </message>
        <message>
            <source>AE</source>
            <translation>自动曝光</translation>
        </message>
        <message>
            <source>Capture</source>
            <translation>采集</translation>
        </message>
        <message>
            <source>Back</source>
            <translation>返回</translation>
        </message>
        <message>
            <source>ReCapture</source>
            <translation>重新采集</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Fit</source>
            <translation>适应</translation>
        </message>
        <message>
            <source>Flat Field Calibrate</source>
            <translation>平场校准</translation>
        </message>
        <message>
            <source>Exposure</source>
            <translation>曝光</translation>
        </message>
        <message>
            <source>Auto Exposure</source>
            <translation>自动曝光</translation>
        </message>
    </context>
    <context>
        <name>GelImageList</name>
        <message>
            <source>Resolution/Sensitivity: </source>
            <translation>分辨率/灵敏度: </translation>
        </message>
        <message>
            <source>Exposure: </source>
            <translation>曝光: </translation>
        </message>
        <message>
            <source>Gain: </source>
            <translation>增益: </translation>
        </message>
        <message>
            <source>Rename</source>
            <translation>重命名</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <source>Gen</source>
            <translation>生成</translation>
        </message>
        <message>
            <source>Stain</source>
            <translation>染色</translation>
        </message>
        <message>
            <source>Red</source>
            <translation>红</translation>
        </message>
        <message>
            <source>Green</source>
            <translation>绿</translation>
        </message>
        <message>
            <source>Blue</source>
            <translation>蓝</translation>
        </message>
        <message>
            <source>Merge</source>
            <translation>合并</translation>
        </message>
    </context>
    <context>
        <name>GelCameraBar</name>
        <message>
            <source>Low</source>
            <translation>低</translation>
        </message>
        <message>
            <source>Middle</source>
            <translation>中</translation>
        </message>
        <message>
            <source>High</source>
            <translation>高</translation>
        </message>
        <message>
            <source>Ultra-high</source>
            <translation>超高</translation>
        </message>
        <message>
            <source>High resolution</source>
            <translation>高分辨率</translation>
        </message>
        <message>
            <source>Standard</source>
            <translation>标准</translation>
        </message>
        <message>
            <source>High sensitivity</source>
            <translation>高灵敏度</translation>
        </message>
        <message>
            <source>Camera Setting</source>
            <translation>相机设置</translation>
        </message>
        <message>
            <source>AE</source>
            <translation>自动曝光</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Exposure</source>
            <translation>曝光</translation>
        </message>
        <message>
            <source>Gain</source>
            <translation>增益</translation>
        </message>
        <message>
            <source>More</source>
            <translation>更多</translation>
        </message>
    </context>
    <context>
        <name>GelHistogram</name>
        <message>
            <source>Raw</source>
            <translation>原始</translation>
        </message>
        <message>
            <source>Org</source>
            <translation>原始</translation>
        </message>
        <message>
            <source>Auto</source>
            <translation>自动</translation>
        </message>
    </context>
    <context>
        <name>GelImageActions</name>
        <message>
            <source>The image could not be renamed: %1</source>
            <translation>图像无法重命名：%1</translation>
        </message>
        <message>
            <source>The first image cannot be deleted!</source>
            <translation>第一张图片不能删除！</translation>
        </message>
        <message>
            <source>Please select at least one image!</source>
            <translation>请至少选择一张图片！</translation>
        </message>
        <message>
            <source>Please select one image for staining!</source>
            <translation>请选择一张图片进行染色！</translation>
        </message>
        <message>
            <source>The original image cannot be deleted!</source>
            <translation>原图不能删除！</translation>
        </message>
        <message>
            <source>Please select images with the same binning for merge!</source>
            <translation>请选择像素合并相同的图片进行合并！</translation>
        </message>
        <message>
            <source>Please select 2 to 5 images for merge!</source>
            <translation>请选择2到5张图片进行合并！</translation>
        </message>
        <message>
            <source>Success</source>
            <translation>成功</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
    </context>
    <context>
        <name>GelExposureFocus</name>
        <message>
            <source>Auto Exposuring...</source>
            <translation>自动曝光中...</translation>
        </message>
        <message>
            <source>Auto Focusing...</source>
            <translation>自动对焦中...</translation>
        </message>
        <message>
            <source>Auto exposure time reaches the upper limit. Please increase exposure time or adjust gain!</source>
            <translation>自动曝光时间达到上限，请增加曝光时间或调整增益！</translation>
        </message>
        <message>
            <source>Auto exposure time is too short. Please reduce gain or adjust to high resolution!</source>
            <translation>自动曝光时间过短，请降低增益或调整为高分辨率！</translation>
        </message>
    </context>
    <context>
        <name>GelLights</name>
        <message>
            <source>Filter Switching...</source>
            <translation>滤光片切换中...</translation>
        </message>
        <message>
            <source>Temperature too high, light turned off!</source>
            <translation>温度过高，光源已关闭！</translation>
        </message>
        <message>
            <source>The cabinet did not answer the light command.</source>
            <translation>机箱未应答灯光指令。</translation>
        </message>
        <message>
            <source>The cabinet did not answer the filter command.</source>
            <translation>机箱未应答滤光轮指令。</translation>
        </message>
    </context>
    <context>
        <name>GelCaptureStart</name>
        <message>
            <source>The capture did not start: the experiment could not be recorded. Please try again.</source>
            <translation>采集未开始：实验无法记录，请重试。</translation>
        </message>
    </context>
    <context>
        <name>WBCameraBar</name>
        <message>
            <source>High resolution</source>
            <translation>高分辨率</translation>
        </message>
        <message>
            <source>Standard</source>
            <translation>标准</translation>
        </message>
        <message>
            <source>High sensitivity</source>
            <translation>高灵敏度</translation>
        </message>
        <message>
            <source>Low</source>
            <translation>低</translation>
        </message>
        <message>
            <source>Middle</source>
            <translation>中</translation>
        </message>
        <message>
            <source>High</source>
            <translation>高</translation>
        </message>
        <message>
            <source>Ultra-high</source>
            <translation>超高</translation>
        </message>
        <message>
            <source>Auto Exposuring...</source>
            <translation>自动曝光中...</translation>
        </message>
        <message>
            <source>Auto exposure time reaches the upper limit. Please increase exposure time or adjust gain!</source>
            <translation>自动曝光时间达到上限，请增加曝光时间或调整增益！</translation>
        </message>
        <message>
            <source>Auto exposure time is too short. Please reduce gain or adjust to high resolution!</source>
            <translation>自动曝光时间过短，请降低增益或调整为高分辨率！</translation>
        </message>
        <message>
            <source>Binning</source>
            <translation>像素合并</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Gain</source>
            <translation>增益</translation>
        </message>
        <message>
            <source>Exposure: </source>
            <translation>曝光: </translation>
        </message>
        <message>
            <source>AE</source>
            <translation>自动曝光</translation>
        </message>
        <message>
            <source>Focus</source>
            <translation>聚焦</translation>
        </message>
        <message>
            <source>AF</source>
            <translation>自动对焦</translation>
        </message>
        <message>
            <source>Open</source>
            <translation>打开</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>关闭</translation>
        </message>
        <message>
            <source>Color Marker</source>
            <translation>彩色Marker</translation>
        </message>
        <message>
            <source>Color marker shooting requires an additional 20s.</source>
            <translation>彩色Marker拍摄需要额外20秒。</translation>
        </message>
        <message>
            <source>More Setting</source>
            <translation>更多设置</translation>
        </message>
    </context>
    <context>
        <name>WBCaptureMode</name>
        <message>
            <source>Range</source>
            <translation>区域</translation>
        </message>
        <message>
            <source>Ms</source>
            <translation>毫秒</translation>
        </message>
        <message>
            <source>S</source>
            <translation>秒</translation>
        </message>
        <message>
            <source>M</source>
            <translation>分</translation>
        </message>
        <message>
            <source>Single</source>
            <translation>单张</translation>
        </message>
        <message>
            <source>Multi</source>
            <translation>多张</translation>
        </message>
        <message>
            <source>Zero</source>
            <translation>清零</translation>
        </message>
        <message>
            <source>AES</source>
            <translation>自动预估</translation>
        </message>
        <message>
            <source>Program</source>
            <translation>程序</translation>
        </message>
        <message>
            <source>Manual</source>
            <translation>手动</translation>
        </message>
        <message>
            <source>Capture
Count:</source>
            <translation>采集
张数:</translation>
        </message>
        <message>
            <source>First
Time:</source>
            <translation>首次
时间:</translation>
        </message>
        <message>
            <source>Delta
Time:</source>
            <translation>间隔
时间:</translation>
        </message>
        <message>
            <source>Integral Accumulate</source>
            <translation>积分累加</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
        <message>
            <source>Manage</source>
            <translation>管理</translation>
        </message>
        <message>
            <source>Exposure time(s): </source>
            <translation>曝光时间(秒): </translation>
        </message>
    </context>
    <context>
        <name>WBCaptureView</name>
        <message>
            <source>Fit</source>
            <translation>适应</translation>
        </message>
        <message>
            <source>Resolution/Sensitivity: </source>
            <translation>分辨率/灵敏度: </translation>
        </message>
        <message>
            <source>Exposure: </source>
            <translation>曝光: </translation>
        </message>
        <message>
            <source>Gain: </source>
            <translation>增益: </translation>
        </message>
        <message>
            <source>Beautify Level:</source>
            <translation>美化程度:</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>重置</translation>
        </message>
        <message>
            <source>Capture</source>
            <translation>采集</translation>
        </message>
        <message>
            <source>Back</source>
            <translation>返回</translation>
        </message>
        <message>
            <source>ReCapture</source>
            <translation>重新采集</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>导出</translation>
        </message>
    </context>
    <context>
        <name>WBImageActions</name>
        <message>
            <source>Please select at least one image!</source>
            <translation>请至少选择一张图片！</translation>
        </message>
        <message>
            <source>The original image cannot be deleted!</source>
            <translation>原始图片不能删除！</translation>
        </message>
        <message>
            <source>Please select two images for merge!</source>
            <translation>请选择两张图片进行合并！</translation>
        </message>
        <message>
            <source>Pseudo color images cannot be selected for merge!</source>
            <translation>伪彩图片不能选择合并！</translation>
        </message>
        <message>
            <source>Cannot merge to color Marker!</source>
            <translation>不能与彩色Marker合并！</translation>
        </message>
        <message>
            <source>Please select one images for pseudo color!</source>
            <translation>请选择一张图片进行伪彩！</translation>
        </message>
        <message>
            <source>Pseudo color images cannot be selected for pseudo color!</source>
            <translation>伪彩图片不能再进行伪彩！</translation>
        </message>
        <message>
            <source>Please select one pesudo image!</source>
            <translation>请选择一张伪彩图片！</translation>
        </message>
    </context>
    <context>
        <name>WBImageList</name>
        <message>
            <source>Images</source>
            <translation>图像</translation>
        </message>
        <message>
            <source>More</source>
            <translation>更多</translation>
        </message>
        <message>
            <source>Rename</source>
            <translation>重命名</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
        <message>
            <source>Merge</source>
            <translation>合并</translation>
        </message>
        <message>
            <source>Pseudo</source>
            <translation>伪彩</translation>
        </message>
        <message>
            <source>Pesudo Merge</source>
            <translation>伪彩合并</translation>
        </message>
        <message>
            <source>Gen</source>
            <translation>生成</translation>
        </message>
    </context>
    <context>
        <name>ProgramDialogFrame</name>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
    </context>
    <context>
        <name>ProgramEditorDialog</name>
        <message>
            <source>Program</source>
            <translation>程序</translation>
        </message>
        <message>
            <source>Program name cannot be empty!</source>
            <translation>程序名称不能为空！</translation>
        </message>
        <message>
            <source>Program cannot be empty!</source>
            <translation>程序不能为空！</translation>
        </message>
        <message>
            <source>Program cannot be zero!</source>
            <translation>程序不能为零！</translation>
        </message>
        <message>
            <source>Program needs to be incremented!</source>
            <translation>程序需要递增！</translation>
        </message>
        <message>
            <source>Program name cannot be duplicated!</source>
            <translation>程序名称不能重复！</translation>
        </message>
        <message>
            <source>Program Name: </source>
            <translation>程序名称: </translation>
        </message>
        <message>
            <source>Program Name</source>
            <translation>程序名称</translation>
        </message>
        <message>
            <source>Number</source>
            <translation>序号</translation>
        </message>
        <message>
            <source>Minute</source>
            <translation>分钟</translation>
        </message>
        <message>
            <source>Second</source>
            <translation>秒</translation>
        </message>
        <message>
            <source>Millisecond</source>
            <translation>毫秒</translation>
        </message>
        <message>
            <source>Integral Accumulate</source>
            <translation>积分累加</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Remove</source>
            <translation>移除</translation>
        </message>
        <message>
            <source>Del Selected</source>
            <translation>删除选中</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>ProgramListDialog</name>
        <message>
            <source>Program</source>
            <translation>程序</translation>
        </message>
        <message>
            <source>Please select one program!</source>
            <translation>请选择一个程序！</translation>
        </message>
        <message>
            <source>Tips</source>
            <translation>提示</translation>
        </message>
        <message>
            <source>Delete success!</source>
            <translation>删除成功！</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>名称</translation>
        </message>
        <message>
            <source>Capture Count</source>
            <translation>采集张数</translation>
        </message>
        <message>
            <source>Integral Accumulate</source>
            <translation>积分累加</translation>
        </message>
        <message>
            <source>Detail(s)</source>
            <translation>详情(秒)</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>新增</translation>
        </message>
        <message>
            <source>Edit</source>
            <translation>编辑</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>删除</translation>
        </message>
    </context>
    <context>
        <name>ProgramSaveDialog</name>
        <message>
            <source>Program</source>
            <translation>程序</translation>
        </message>
        <message>
            <source>Name cannot be empty.</source>
            <translation>名称不能为空。</translation>
        </message>
        <message>
            <source>dbInsert error.</source>
            <translation>数据库写入错误。</translation>
        </message>
        <message>
            <source>Name cannot be duplicate.</source>
            <translation>名称不能重复。</translation>
        </message>
        <message>
            <source>Program Name: </source>
            <translation>程序名称: </translation>
        </message>
        <message>
            <source>Program Name</source>
            <translation>程序名称</translation>
        </message>
        <message>
            <source>Exposure time(s): </source>
            <translation>曝光时间(秒): </translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
    <context>
        <name>WBMoreSettingDialog</name>
        <message>
            <source>Camera Cooling</source>
            <translation>相机制冷</translation>
        </message>
        <message>
            <source>Yes</source>
            <translation>是</translation>
        </message>
        <message>
            <source>No</source>
            <translation>否</translation>
        </message>
        <message>
            <source>Marker Capture</source>
            <translation>Marker拍摄</translation>
        </message>
        <message>
            <source>Sample Image Background Color</source>
            <translation>样品图像背景颜色</translation>
        </message>
        <message>
            <source>White</source>
            <translation>白色</translation>
        </message>
        <message>
            <source>Black</source>
            <translation>黑色</translation>
        </message>
        <message>
            <source>Intelligent analysis(Identify Band)</source>
            <translation>智能分析(识别条带)</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>关闭</translation>
        </message>
        <message>
            <source>Open</source>
            <translation>打开</translation>
        </message>
        <message>
            <source>Overexposure reminder</source>
            <translation>过曝提醒</translation>
        </message>
        <message>
            <source>Automatic histogram stretching</source>
            <translation>自动直方图拉伸</translation>
        </message>
        <message>
            <source>Strength Marker</source>
            <translation>Marker增强</translation>
        </message>
    </context>
    <context>
        <name>WBCoolingWait</name>
        <message>
            <source>Camera Cooling...</source>
            <translation>相机降温中...</translation>
        </message>
        <message>
            <source>Camera Temp:</source>
            <translation>相机温度:</translation>
        </message>
    </context>
    <context>
        <name>WesternBlotCapturePage</name>
        <message>
            <source>Filter Switching...</source>
            <translation>滤光片切换中...</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Camera Setting...</source>
            <translation>相机设置中...</translation>
        </message>
        <message>
            <source>Please select one program!</source>
            <translation>请选择一个程序！</translation>
        </message>
        <message>
            <source>Exposure time must less than one hour!</source>
            <translation>曝光时间必须小于一小时！</translation>
        </message>
        <message>
            <source>Estimating...</source>
            <translation>预估中...</translation>
        </message>
        <message>
            <source>Tips</source>
            <translation>提示</translation>
        </message>
        <message>
            <source>Export success!</source>
            <translation>导出成功！</translation>
        </message>
        <message>
            <source>Western Blot Capture</source>
            <translation>化学发光采集</translation>
        </message>
        <message>
            <source>Auto Focusing...</source>
            <translation>自动对焦中...</translation>
        </message>
        <message>
            <source>Auto focus failed: no sharp position was found.</source>
            <translation>自动对焦失败：未找到清晰位置。</translation>
        </message>
        <message>
            <source>Camera Temp:</source>
            <translation>相机温度:</translation>
        </message>
        <message>
            <source>The cabinet did not answer the lens command.</source>
            <translation>机箱未应答镜头指令。</translation>
        </message>
        <message>
            <source>The cabinet did not answer the filter command.</source>
            <translation>机箱未应答滤光轮指令。</translation>
        </message>
    </context>
    <context>
        <name>FlatFieldWizard</name>
        <message>
            <source>Calibration not performed</source>
            <translation>未进行校准</translation>
        </message>
        <message>
            <source>Set Camera Binning</source>
            <translation>设置相机像素合并</translation>
        </message>
        <message>
            <source>Auto Exposure...</source>
            <translation>自动曝光中...</translation>
        </message>
        <message>
            <source>Prepare to shoot bright field</source>
            <translation>准备拍摄明场</translation>
        </message>
        <message>
            <source>Prepare to shoot dark field</source>
            <translation>准备拍摄暗场</translation>
        </message>
        <message>
            <source>Calculating</source>
            <translation>计算中</translation>
        </message>
        <message>
            <source>Calibration success</source>
            <translation>校准成功</translation>
        </message>
        <message>
            <source>Shoot light field for 535nm</source>
            <translation>拍摄535nm明场</translation>
        </message>
        <message>
            <source>Shoot dark field for 535nm</source>
            <translation>拍摄535nm暗场</translation>
        </message>
        <message>
            <source>Shoot light field for 605nm</source>
            <translation>拍摄605nm明场</translation>
        </message>
        <message>
            <source>Shoot dark field for 605nm</source>
            <translation>拍摄605nm暗场</translation>
        </message>
        <message>
            <source>Shoot light field for 470nm</source>
            <translation>拍摄470nm明场</translation>
        </message>
        <message>
            <source>Shoot dark field for 470nm</source>
            <translation>拍摄470nm暗场</translation>
        </message>
        <message>
            <source>Shoot light field for 590nm</source>
            <translation>拍摄590nm明场</translation>
        </message>
        <message>
            <source>Shoot dark field for 590nm</source>
            <translation>拍摄590nm暗场</translation>
        </message>
        <message>
            <source>Calibration cancelled</source>
            <translation>校准已取消</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>Please turn back to preview interface!</source>
            <translation>请返回预览界面！</translation>
        </message>
        <message>
            <source>Please turn to no filter!</source>
            <translation>请切换到无滤光片！</translation>
        </message>
        <message>
            <source>Tips</source>
            <translation>提示</translation>
        </message>
        <message>
            <source>Flat field correction is about to begin, please do not control the lighting or shoot</source>
            <translation>即将开始平场校正，请勿操作光源或拍摄</translation>
        </message>
        <message>
            <source>Make sure that your current cabin is empty and place the white light plate</source>
            <translation>请确认当前箱体内为空并放置白光板</translation>
        </message>
        <message>
            <source>Calibration Success!</source>
            <translation>校准成功！</translation>
        </message>
        <message>
            <source>Flat field correction</source>
            <translation>平场校正</translation>
        </message>
        <message>
            <source>Start</source>
            <translation>开始</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
    </context>
    <context>
        <name>ExportWps</name>
        <message>
            <source>The report template is missing: %1</source>
            <translation>报告模板缺失: %1</translation>
        </message>
        <message>
            <source>The report template cannot be read: %1</source>
            <translation>报告模板无法读取: %1</translation>
        </message>
        <message>
            <source>The report could not be written: %1</source>
            <translation>报告无法写入: %1</translation>
        </message>
    </context>
    <context>
        <name>main</name>
        <message>
            <source>Error</source>
            <translation>错误</translation>
        </message>
        <message>
            <source>The report was not written.</source>
            <translation>报告未写入。</translation>
        </message>
    </context>
    <context>
        <name>PathChooser</name>
        <message>
            <source>Select folder</source>
            <translation>选择文件夹</translation>
        </message>
        <message>
            <source>Save as</source>
            <translation>另存为</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>警告</translation>
        </message>
        <message>
            <source>The folder does not exist: %1</source>
            <translation>文件夹不存在: %1</translation>
        </message>
        <message>
            <source>Please enter a file name!</source>
            <translation>请输入文件名！</translation>
        </message>
        <message>
            <source>File name</source>
            <translation>文件名</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>Confirm</source>
            <translation>确认</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>保存</translation>
        </message>
    </context>
</TS>