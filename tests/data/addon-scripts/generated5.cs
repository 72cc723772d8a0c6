namespace Server.Items
{
	public class WellAddon : BaseAddon
	{
		private static int[,] m_AddOnSimpleComponents = new int[,] {
			{3347, 0, 0, 0, 1}, {3348, 1, 0, 0, -1},
			{0xD26, 0, 1, 0, 0}
		};
		private static int[,] m_Water = new int[,] { {6039, 0, 0, 1, 0} };

		public WellAddon()
		{
			for ( int i = 0; i < m_AddOnSimpleComponents.Length / 5; i++ )
				AddComponent( new AddonComponent( m_AddOnSimpleComponents[i,0] ), m_AddOnSimpleComponents[i,1], m_AddOnSimpleComponents[i,2], m_AddOnSimpleComponents[i,3] );
			for ( int w = 0; w < m_Water.Length / 5; w++ )
			{
				AddonComponent water = new AddonComponent( m_Water[w,0] );
				water.Hue = 0x5A;
				AddComponent( water, m_Water[w,1], m_Water[w,2], m_Water[w,3] );
			}
			AddComplexComponent( (BaseAddon) this, 2416, 0, 0, 5, 0, -1, "bucket", 1 );
			AddComplexComponent( (BaseAddon) this, 3153, 1, 1, 0, 0, -1, "", 3 );
		}
	}
}
