// The Western-blot page's picture on the Kestrix cabinet (an S40Plus).
WBPictureCase {
    name: "WBPictureKestrix"
    screens: "wb_kestrix_picture"
}
