<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
</context>
<context>
    <name>IC_AuditTrailPage</name>
    <message>
        <source>Audit Trail</source>
        <translation>审计追踪</translation>
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
        <source>This page is not built yet.</source>
        <translation>此页面尚未完成。</translation>
    </message>
</context>
<context>
    <name>MultiFluorescenceCapturePage</name>
    <message>
        <source>Multi-Fluorescence Capture</source>
        <translation>多色荧光采集</translation>
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
        <source>Color Marker image name must contain &apos;_Color&apos;.</source>
        <translation>彩色Marker图片名称必须包含&apos;_Color&apos;。</translation>
    </message>
</context>
<context>
    <name>RoleManagementPage</name>
    <message>
        <source>Authority Manage</source>
        <translation>权限管理</translation>
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
    <name>UserManagementPage</name>
    <message>
        <source>User Manage</source>
        <translation>用户管理</translation>
    </message>
</context>
<context>
    <name>WesternBlotCapturePage</name>
    <message>
        <source>Western Blot Capture</source>
        <translation>化学发光采集</translation>
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
</TS>
