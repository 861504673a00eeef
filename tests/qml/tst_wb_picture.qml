// The Western-blot page's picture on the Tucsen cabinet (an S60).
WBPictureCase {
    name: "WBPicture"
    screens: "wb_picture"
}
